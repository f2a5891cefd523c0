#include <nx/kit/utils.h>

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace nx::kit::utils
{
namespace
{

// Texts as the settings and URLs may carry them, with edge values of the 32-bit range.
const std::string kTexts[] = {"0",
                              "42",
                              "-7",
                              "+15",
                              " +12abc",
                              " \t\n\v\f\r-3",
                              "0x1A",
                              "007",
                              "12 34",
                              "5.9",
                              "-0",
                              "1e3",
                              "2147483647",
                              "-2147483648",
                              "0000000000000000000000001",
                              "2147483648",
                              "-2147483649",
                              "4294967296",
                              "9223372036854775808",
                              "18446744073709551616",
                              "-99999999999999999999",
                              std::string(400, '9'),
                              "",
                              " ",
                              "abc",
                              "+",
                              "-",
                              "+-1",
                              "- 1",
                              ".5",
                              std::string("\0"
                                          "12",
                                          3),
                              std::string(" \0"
                                          "12",
                                          4)};

// The standard conversion is the reference; this helper only replaces its exceptions.
TEST(UtilsTest, StoiAgreesWithStandardConversion)
{
    for (const std::string& text : kTexts)
    {
        std::string expectedError;
        int expectedValue = -99;
        try
        {
            expectedValue = std::stoi(text);
        }
        catch (const std::invalid_argument&)
        {
            expectedError = "invalid stoi argument";
        }
        catch (const std::out_of_range&)
        {
            expectedError = "stoi argument out of range";
        }
        int value = -99;
        std::string error = "stale";
        EXPECT_EQ(expectedError.empty(), stoi(text, &value, &error)) << text;
        EXPECT_EQ(expectedError, error) << text;
        EXPECT_EQ(expectedValue, value) << "unchanged on failure: " << text;
    }
}

TEST(UtilsTest, StoiResultsAndErrorTexts)
{
    int value = 0;
    std::string error;
    EXPECT_TRUE(stoi(" +12abc", &value, &error));
    EXPECT_EQ(12, value);
    EXPECT_TRUE(stoi("-2147483648", &value, nullptr));
    EXPECT_EQ(-2147483647 - 1, value);
    EXPECT_TRUE(stoi("0x1A", &value, nullptr));
    EXPECT_EQ(0, value);

    for (const char* text : {"", "abc", "+", "-", " "})
    {
        EXPECT_FALSE(stoi(text, &value, &error)) << text;
        EXPECT_EQ("invalid stoi argument", error) << text;
    }
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999"})
    {
        EXPECT_FALSE(stoi(text, &value, &error)) << text;
        EXPECT_EQ("stoi argument out of range", error) << text;
    }
    EXPECT_FALSE(stoi("99999999999999999999", &value, nullptr));
    EXPECT_EQ(0, value);
}

}  // namespace
}  // namespace nx::kit::utils
