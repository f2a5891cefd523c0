#include <nx/kit/json.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

namespace nx::kit
{

static void PrintTo(const Json& value, std::ostream* out)
{
    *out << value.dump();
}

namespace
{

Json parseOk(const std::string& text)
{
    std::string error = "stale";
    const Json value = Json::parse(text, &error);
    EXPECT_EQ("", error) << text;
    return value;
}

std::string nested(int depth, const std::string& open, const std::string& close,
                   const std::string& inner = "")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

// Pointers other than C strings must not become bools.
static_assert(!std::is_constructible_v<Json, void*>);
static_assert(!std::is_constructible_v<Json, int*>);
static_assert(!std::is_constructible_v<Json, const Json*>);
static_assert(std::is_constructible_v<Json, char*>);

TEST(JsonTest, ParseBuildsTypedValues)
{
    const Json value = parseOk(
        R"( {"n": -12.5e1, "i": 42, "t": true, "f": false, "z": null, "s": "a\"\\\/\u00e9\ud83d\ude00",
            "a": [1, [2, {}], []], "o": {"k": "v"}} )");
    ASSERT_TRUE(value.isObject());
    EXPECT_EQ(-125.0, value["n"].numberValue());
    EXPECT_EQ(42.0, value["i"].numberValue());
    EXPECT_TRUE(value["t"].boolValue());
    EXPECT_TRUE(value["f"].isBool());
    EXPECT_FALSE(value["f"].boolValue());
    EXPECT_TRUE(value["z"].isNull());
    EXPECT_EQ("a\"\\/\xC3\xA9\xF0\x9F\x98\x80", value["s"].stringValue());
    ASSERT_EQ(3u, value["a"].arrayItems().size());
    EXPECT_EQ(2.0, value["a"][1][0].numberValue());
    EXPECT_TRUE(value["a"][1][1].isObject());
    EXPECT_TRUE(value["a"][2].isArray());
    EXPECT_EQ("v", value["o"]["k"].stringValue());
    EXPECT_EQ(Json::Type::kObject, value.type());

    EXPECT_EQ(Json(nullptr), parseOk("null"));
    EXPECT_EQ(Json("x"), parseOk("\"x\""));
    EXPECT_EQ(Json(18446744073709551615.0), parseOk("18446744073709551615"));
    EXPECT_EQ(Json(-9223372036854775807.0), parseOk("-9223372036854775807"));
    EXPECT_EQ(Json(1), parseOk(R"({"k": 0, "k": 1})")["k"]) << "the last repeated key wins";
}

TEST(JsonTest, ParseRejectsMalformedText)
{
    const std::string kTexts[] = {"",
                                  " ",
                                  "{",
                                  "[1,]",
                                  "[1 2]",
                                  "{\"a\" 1}",
                                  "{a: 1}",
                                  "'a'",
                                  "nul",
                                  "01",
                                  "NaN",
                                  "1 2",
                                  "{\"a\": 1} x",
                                  "[] []",
                                  "1 // comment",
                                  "/* c */ 1",
                                  "\"\xFF\"",
                                  "\"\xC3\"",
                                  "\"a\nb\"",
                                  "[\"\\x\"]",
                                  "\xEF\xBB\xBF{}",
                                  std::string("{}\0", 3),
                                  std::string("1 \0 ", 4),
                                  "\"\\ud800\"",
                                  "1e400"};
    for (const std::string& text : kTexts)
    {
        std::string error;
        const Json value = Json::parse(text, &error);
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_TRUE(value.isNull()) << text;
    }
    EXPECT_TRUE(Json::parse("[1,]", nullptr).isNull());
    EXPECT_EQ(Json(Json::Array{}), Json::parse("[]", nullptr));
}

TEST(JsonTest, ParseLimitsNestingDepth)
{
    const int kMax = Json::kMaxNestingDepth;
    // A value may sit inside kMax containers, so the innermost of kMax + 1 may only be empty.
    EXPECT_TRUE(parseOk(nested(kMax + 1, "[", "]")).isArray());
    EXPECT_TRUE(parseOk(nested(kMax, "[", "]", "1")).isArray());
    EXPECT_TRUE(parseOk(nested(kMax / 2, "[{\"k\": ", "}]", "{}")).isArray());
    EXPECT_TRUE(parseOk("[1, " + nested(kMax, "[", "]") + ", {}]").isArray());

    const std::string tooDeep[] = {
        nested(kMax + 2, "[", "]"),
        nested(kMax + 1, "[", "]", "1"),
        nested(kMax / 2, "[{\"k\": ", "}]", "[{}]"),
        "[1, " + nested(kMax + 1, "[", "]") + "]",
        std::string(100000, '['),
        nested(100000, "[", "]"),
    };
    for (const std::string& text : tooDeep)
    {
        std::string error;
        EXPECT_TRUE(Json::parse(text, &error).isNull());
        EXPECT_NE(std::string::npos, error.find("nesting")) << error;
    }
}

TEST(JsonTest, TypedReadsOfOtherTypesGiveNeutralDefaults)
{
    const Json values[] = {Json(),
                           Json(1.5),
                           Json(true),
                           Json("s"),
                           Json(Json::Array{1}),
                           Json(Json::Object{{"k", 1}}),
                           Json(static_cast<const char*>(nullptr))};
    // Each value of a type holds 1.5, true, "s", one item or one member "k".
    for (const Json& value : values)
    {
        const std::string context = value.dump();
        EXPECT_EQ(value.isNumber() ? 1.5 : 0.0, value.numberValue()) << context;
        EXPECT_EQ(value.isBool(), value.boolValue()) << context;
        EXPECT_EQ(value.isString() ? "s" : "", value.stringValue()) << context;
        EXPECT_EQ(value.isArray() ? 1u : 0u, value.arrayItems().size()) << context;
        EXPECT_EQ(value.isObject() ? 1u : 0u, value.objectItems().size()) << context;
        EXPECT_EQ(value.isArray(), !value[0].isNull()) << context;
        EXPECT_EQ(value.isObject(), !value["k"].isNull()) << context;
        EXPECT_TRUE(value["missing"].isNull()) << context;
        EXPECT_TRUE(value[5].isNull()) << context;
    }
    EXPECT_TRUE(values[6].isNull());

    Json moved("text");
    const Json target = std::move(moved);
    EXPECT_EQ("text", target.stringValue());
    EXPECT_TRUE(moved.isNull()) << "a moved-from value stays usable";
}

TEST(JsonTest, DumpWritesCompactFormWithSortedKeys)
{
    const Json figure = Json::Object{
        {"showOnCamera", false},
        {"label", "Cross Line-1"},
        {"figure",
         Json::Object{
             {"points", Json::Array{Json::Array{0.5, 0.25}, Json::Array{0.3333, 1.0}}},
             {"direction", "left"},
             {"color", ""},
         }},
    };
    EXPECT_EQ(R"({"figure": {"color": "", "direction": "left", "points": [[0.5, 0.25], )"
              R"([0.33329999999999999, 1]]}, "label": "Cross Line-1", "showOnCamera": false})",
              figure.dump());
    EXPECT_EQ(figure, parseOk(figure.dump()));

    EXPECT_EQ("[]", Json(Json::Array{}).dump());
    EXPECT_EQ("{}", Json(Json::Object{}).dump());
    EXPECT_EQ("[null, true, {\"a\": []}]",
              Json(Json::Array{nullptr, true, Json::Object{{"a", Json::Array{}}}}).dump());
    EXPECT_EQ(R"({"B": 1, "_": 2, "a": 3, "z": 4, "é": 5})",
              Json(Json::Object{{"\xC3\xA9", 5}, {"z", 4}, {"a", 3}, {"_", 2}, {"B", 1}}).dump());
}

TEST(JsonTest, DumpWritesNumbersAsPrintfInCLocale)
{
    const double kValues[] = {0.1,
                              1e21,
                              1e-7,
                              -0.0,
                              0.0,
                              5e-324,
                              1.7976931348623157e308,
                              -1.7976931348623157e308,
                              100,
                              0.33329999999999999,
                              1.0 / 3,
                              123456789012345678.0,
                              1e16,
                              1e17,
                              12345.678,
                              -2.5e-310,
                              0.5,
                              2.2250738585072014e-308,
                              1e100,
                              4294967295.0};
    for (const double value : kValues)
    {
        char expected[64];
        std::snprintf(expected, sizeof(expected), "%.17g", value);  //< Tests run in "C".
        EXPECT_EQ(expected, Json(value).dump());
        EXPECT_EQ(value, parseOk(Json(value).dump()).numberValue()) << expected;
    }
    EXPECT_EQ("-0", Json(-0.0).dump());
    EXPECT_EQ("1e+21", Json(1e21).dump());
    EXPECT_EQ("null", Json(std::nan("")).dump());
    EXPECT_EQ("null", Json(std::numeric_limits<double>::infinity()).dump());
    EXPECT_EQ("[null]", Json(Json::Array{-std::numeric_limits<double>::infinity()}).dump());
}

// A numeric punctuation with a decimal comma and digit grouping.
class CommaPunct : public std::numpunct<char>
{
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(JsonTest, NumbersIgnoreTheProcessLocale)
{
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    // A C locale with a decimal comma, where the machine has one installed.
    const bool cLocaleChanged = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                                std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;

    const std::string dumped = Json(Json::Array{1234567.25, 0.5}).dump();
    const Json parsed = Json::parse("[1234567.25, 0.5]", nullptr);

    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);

    EXPECT_EQ("[1234567.25, 0.5]", dumped) << "C locale changed: " << cLocaleChanged;
    EXPECT_EQ(1234567.25, parsed[0].numberValue());
}

TEST(JsonTest, DumpEscapesStrings)
{
    const std::string text = std::string("q\" b\\ \b\f\n\r\t \x01\x1F\x7F") + '\0' +
                             "\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xAA/\xFF\xC3\xE2\x80";
    const std::string expected =
        "\"q\\\" b\\\\ \\b\\f\\n\\r\\t \\u0001\\u001f\x7F\\u0000"
        "\\u2028\\u2029\xE2\x80\xAA/\xFF\xC3\xE2\x80\"";
    EXPECT_EQ(expected, Json(text).dump());
    EXPECT_EQ("{" + expected + ": " + expected + "}", Json(Json::Object{{text, text}}).dump());

    const std::string valid = text.substr(0, text.find('/') + 1);
    EXPECT_EQ(valid, parseOk(Json(valid).dump()).stringValue());
}

TEST(JsonTest, EqualityComparesTypesAndContents)
{
    EXPECT_EQ(Json(), Json(nullptr));
    EXPECT_EQ(Json(1), Json(1.0));
    EXPECT_NE(Json(1), Json(true));
    EXPECT_NE(Json(0), Json());
    EXPECT_NE(Json(""), Json());
    EXPECT_NE(Json(Json::Array{}), Json(Json::Object{}));
    EXPECT_NE(Json(Json::Array{1, 2}), Json(Json::Array{2, 1}));
    EXPECT_NE(Json(Json::Object{{"a", 1}}), Json(Json::Object{{"a", 2}}));
    EXPECT_EQ(Json(Json::Object{{"a", Json::Array{"x"}}}), parseOk(R"({"a":["x"]})"));
}

TEST(JsonTest, ThreadsReadSharedValuesConcurrently)
{
    const Json shared = Json::parse(R"({"a": [1, "x"], "b": {"c": true}})", nullptr);
    const std::string expected = shared.dump();
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int& mismatchCount : mismatches)
    {
        threads.emplace_back(
            [&shared, &expected, &mismatchCount]()
            {
                for (int i = 0; i < 500; ++i)
                {
                    const Json copy = shared;
                    const bool ok =
                        copy.dump() == expected && copy["none"]["x"].isNull() &&
                        copy["a"][1].stringValue() == "x" && copy["b"].stringValue().empty() &&
                        copy["a"].objectItems().empty() && copy["b"].arrayItems().empty();
                    mismatchCount += ok ? 0 : 1;
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(std::vector<int>(4, 0), mismatches);
}

}  // namespace
}  // namespace nx::kit
