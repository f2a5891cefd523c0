// Tests of convertStringMap, the settings conversion shared by the engine and agent frames.

#include <nx/sdk/helpers/string_map_conversion.h>

#include <gtest/gtest.h>

#include "nx_sdk/string_map_test_support.h"

#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"

namespace nx::sdk
{
namespace
{

using test::captureStderr;
using Map = std::map<std::string, std::string>;

constexpr const char* kPrefix = "[p] ";

TEST(StringMapConversionTest, VerboseBlockIsIndentedAndCommaSeparated)
{
    const auto source = makePtr<StringMap>();
    source->setItem("b", "2");
    source->setItem("a", "line\n");
    Map target{{"a", "old"}, {"z", "kept"}};

    const std::string printed = captureStderr(
        [&] { EXPECT_TRUE(convertStringMap(&target, source.get(), true, kPrefix, "cap", 2)); });
    EXPECT_EQ(printed, std::string(kPrefix) + "  cap:\n" + kPrefix + "  {\n" + kPrefix +
                           "      \"a\": \"line\\n\",\n" + kPrefix + "      \"b\": \"2\"\n" +
                           kPrefix + "  }\n");
    EXPECT_EQ(target, (Map{{"a", "line\n"}, {"b", "2"}, {"z", "kept"}}));
}

TEST(StringMapConversionTest, EntriesOutOfOrderOrRepeatedEndWithTheLastValue)
{
    const auto source = makePtr<test::EntryListMap>(test::EntryListMap::Entries{{"b", "1"},
                                                                                {"a", "2"},
                                                                                {"c", "3"},
                                                                                {"b", "4"},
                                                                                {"c", "5"},
                                                                                {"d", nullptr},
                                                                                {nullptr, "6"}});
    Map target;
    EXPECT_TRUE(convertStringMap(&target, source.get(), false, kPrefix, "c", 0));
    EXPECT_EQ(target, (Map{{"", "6"}, {"a", "2"}, {"b", "4"}, {"c", "5"}, {"d", ""}}));
}

TEST(StringMapConversionTest, EmptyCaptionAndQuietOutput)
{
    const auto empty = makePtr<StringMap>();
    Map target;
    EXPECT_EQ(captureStderr([&] { convertStringMap(&target, empty.get(), true, kPrefix, "", 0); }),
              std::string(kPrefix) + "{\n" + kPrefix + "}\n");
    EXPECT_EQ(
        captureStderr([&] { convertStringMap(&target, empty.get(), false, kPrefix, "c", 0); }), "");
}

TEST(StringMapConversionTest, UnreadableMapsFailWithALineEvenWhenQuiet)
{
    const auto negative = makePtr<test::NegativeCountMap>(-2);
    Map target{{"a", "1"}};
    bool converted = true;
    EXPECT_EQ(captureStderr(
                  [&] { converted = convertStringMap(&target, nullptr, false, kPrefix, "c", 0); }),
              std::string(kPrefix) + "ERROR: stringMap is null\n");
    EXPECT_FALSE(converted);
    EXPECT_EQ(captureStderr(
                  [&] {
                      converted =
                          convertStringMap(&target, negative.get(), false, kPrefix, "Caption", 0);
                  }),
              std::string(kPrefix) + "ERROR: Caption: count is -2\n");
    EXPECT_FALSE(converted);
    EXPECT_EQ(target, (Map{{"a", "1"}}));
}

}  // namespace
}  // namespace nx::sdk
