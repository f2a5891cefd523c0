// The engine manifest: the type library, the stream filter and the whole device-agent
// settings model, values and key order.

#include "plugin/manifests/engine_manifest.h"

#include <nx/kit/json.h>

#include <gtest/gtest.h>

#include "plugin/manifest_test_support.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace
{

using nx::kit::Json;
using nx::vms_server_plugins::analytics::sample::engineManifest;

using korvane::test::compact;
using korvane::test::q;

std::string object(std::initializer_list<std::pair<const char*, std::string>> members)
{
    std::string result = "{";
    for (const auto& [key, value] : members)
        result += (result.size() > 1 ? "," : "") + q(key) + ":" + value;
    return result + "}";
}

std::string array(std::initializer_list<std::string> items)
{
    std::string result = "[";
    for (const std::string& item : items)
        result += (result.size() > 1 ? "," : "") + item;
    return result + "]";
}

std::string checkBox(const std::string& name, const std::string& caption, bool defaultValue)
{
    return object({{"type", q("CheckBox")},
                   {"name", q(name)},
                   {"caption", q(caption)},
                   {"defaultValue", defaultValue ? "true" : "false"}});
}

// The object-class check boxes put the description before the caption.
std::string objectClassBox(const std::string& name, const std::string& description,
                           const std::string& caption)
{
    return object({{"type", q("CheckBox")},
                   {"name", q(name)},
                   {"description", q(description)},
                   {"caption", q(caption)},
                   {"defaultValue", "true"}});
}

std::string spinBox(const std::string& name, const std::string& caption, const std::string& range,
                    int defaultValue, int minValue, int maxValue)
{
    return object({{"type", q("SpinBox")},
                   {"name", q(name)},
                   {"caption", q(caption)},
                   {"description", q(range)},
                   {"defaultValue", std::to_string(defaultValue)},
                   {"minValue", std::to_string(minValue)},
                   {"maxValue", std::to_string(maxValue)}});
}

std::string priorityBox(const std::string& prefix)
{
    return object(
        {{"type", q("ComboBox")},
         {"name", q(prefix + ".IncludeArea#.Priority")},
         {"caption", q("Priority")},
         {"description", q("Priority of the rule")},
         {"defaultValue", q("high")},
         {"range", array({q("high"), q("mid"), q("low")})},
         {"isActive", "true"},
         {"itemCaptions", object({{"high", q("high")}, {"mid", q("mid")}, {"low", q("low")}})}});
}

std::string sensitivityBox(const std::string& prefix)
{
    return spinBox(prefix + ".IncludeArea#.Sensitivity", "Sensitivity", "1 - 100", 50, 1, 100);
}

std::string polygonFigure(const std::string& prefix)
{
    return object({{"type", q("PolygonFigure")},
                   {"name", q(prefix + ".IncludeArea#.Figure")},
                   {"caption", q("Name")},
                   {"minPoints", "3"},
                   {"maxPoints", "6"}});
}

std::string ruleSection(const char* name, const std::string& caption, const std::string& masterName,
                        const std::string& masterCaption, const std::string& filledItem,
                        const std::string& templateItems)
{
    const std::string templateBox = object({{"type", q("GroupBox")},
                                            {"caption", q("Rule #")},
                                            {"filledCheckItems", array({q(filledItem)})},
                                            {"items", templateItems}});
    const std::string repeater = object(
        {{"type", q("Repeater")}, {"count", "4"}, {"startIndex", "1"}, {"template", templateBox}});
    const std::string groupBox =
        object({{"type", q("GroupBox")},
                {"caption", q(caption + " Rules")},
                {"items", array({checkBox(masterName, masterCaption, false), repeater})}});
    if (name == nullptr)
        return object(
            {{"type", q("Section")}, {"caption", q(caption)}, {"items", array({groupBox})}});
    return object({{"type", q("Section")},
                   {"name", q(name)},
                   {"caption", q(caption + " ")},
                   {"items", array({groupBox})}});
}

std::string enableBox(const std::string& prefix)
{
    return checkBox(prefix + ".IncludeArea#.Enable", "Enable Rules #", false);
}

std::string objectClassBoxes(const std::string& prefix)
{
    const std::string base = prefix + ".IncludeArea#.";
    return objectClassBox(base + "Vehicle", "Detection object of Motor Vehicle", "Motor Vehicle") +
           "," +
           objectClassBox(base + "Non-motor-vehicle", "Detection object of Non-Motor Vehicle",
                          "Non-Motor Vehicle") +
           "," + objectClassBox(base + "Person", "Detection object of Pedestrian", "Pedestrian");
}

std::string lineCrossingSection()
{
    const std::string points = object({{"type", q("LineFigure")},
                                       {"name", q("LineCrossed.IncludeArea#.Points")},
                                       {"caption", q("Name")},
                                       {"minPoints", "2"},
                                       {"maxPoints", "2"},
                                       {"allowedDirections", q("any")}});
    const std::string items = "[" + enableBox("LineCrossed") + "," + points + "," +
                              priorityBox("LineCrossed") + "," + sensitivityBox("LineCrossed") +
                              "," + objectClassBoxes("LineCrossed") + "]";
    // The caption carries a trailing blank, added by ruleSection for the named section.
    return ruleSection("LineCrossedSections", "Cross Line", "CrossLineEnable", "Enable Cross Line",
                       "LineCrossed.IncludeArea#.Enable", items);
}

std::string intrusionSection()
{
    const std::string threshold =
        spinBox("Intrusion.IncludeArea#.TimeThreshold", "Time Threshold(s)", "1 - 10", 1, 1, 10);
    const std::string items = "[" + enableBox("Intrusion") + "," + polygonFigure("Intrusion") +
                              "," + threshold + "," + sensitivityBox("Intrusion") + "," +
                              priorityBox("Intrusion") + "," + objectClassBoxes("Intrusion") + "]";
    return ruleSection(nullptr, "Intrusion", "IntrusionEnable", "Enable Intrusion",
                       "Intrusion.IncludeArea#.Figure", items);
}

std::string areaSection(const std::string& prefix, const std::string& caption)
{
    const std::string items = "[" + enableBox(prefix) + "," + polygonFigure(prefix) + "," +
                              sensitivityBox(prefix) + "," + priorityBox(prefix) + "," +
                              objectClassBoxes(prefix) + "]";
    return ruleSection(nullptr, caption, prefix + "Enable", "Enable " + caption,
                       prefix + ".IncludeArea#.Figure", items);
}

std::string banner(const std::string& text)
{
    return object({{"type", q("Banner")}, {"icon", q("info")}, {"text", q(text)}});
}

std::string expectedSettingsModel()
{
    const std::string roi = object({{"type", q("Section")},
                                    {"caption", q("ROI")},
                                    {"sections", array({lineCrossingSection(), intrusionSection(),
                                                        areaSection("EnterArea", "Enter Area"),
                                                        areaSection("LeaveArea", "Leave Area")})}});
    const std::string items = array(
        {banner("Event setting"), checkBox("generateEvents", "Generate events", true),
         banner("Object analytics setting"),
         checkBox("sendAttributes", "Send object attributes", true), checkBox("Face", "Face", true),
         checkBox("Person", "Person", true), checkBox("Vehicle", "Vehicle", true),
         checkBox("LicensePlate", "LicensePlate", true), object({{"type", q("Separator")}})});
    return object({{"type", q("Settings")}, {"sections", array({roi})}, {"items", items}});
}

Json parsed(const std::string& text)
{
    std::string error;
    Json value = Json::parse(text, &error);
    EXPECT_TRUE(error.empty()) << error;
    return value;
}

TEST(EngineManifestTest, TopLevelKeysInOrder)
{
    const Json manifest = parsed(engineManifest());
    ASSERT_TRUE(manifest.isObject());
    EXPECT_EQ(3u, manifest.objectItems().size());
    EXPECT_TRUE(manifest["capabilities"].isNull());
    EXPECT_EQ("compressedVideo", manifest["streamTypeFilter"].stringValue());

    const std::string text = compact(engineManifest());
    const std::string typeLibrary =
        object({{"groups", array({object({{"id", q("Korvane")}, {"name", q("Korvane")}})})}});
    const std::string head = "{\"typeLibrary\":" + typeLibrary +
                             ",\"streamTypeFilter\":\"compressedVideo\"" +
                             ",\"deviceAgentSettingsModel\":";
    EXPECT_EQ(head, text.substr(0, head.size()));
    EXPECT_EQ('}', text.back());
    EXPECT_EQ('\n', engineManifest().back());
}

TEST(EngineManifestTest, SettingsModelMatchesKeyByKeyAndInOrder)
{
    const Json manifest = parsed(engineManifest());
    const Json expected = parsed(expectedSettingsModel());
    const Json& model = manifest["deviceAgentSettingsModel"];

    // Values first, subtree by subtree, so that a difference points at its place.
    const Json& rules = model["sections"][0]["sections"];
    ASSERT_EQ(4u, rules.arrayItems().size());
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(expected["sections"][0]["sections"][i].dump(), rules[i].dump()) << "rule " << i;
    ASSERT_EQ(9u, model["items"].arrayItems().size());
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(expected["items"][i].dump(), model["items"][i].dump()) << "item " << i;

    // Then the order of the keys as the text writes them.
    const std::string text = compact(engineManifest());
    const std::string prefix = "\"deviceAgentSettingsModel\":";
    const std::size_t start = text.find(prefix);
    ASSERT_NE(std::string::npos, start);
    EXPECT_EQ(expectedSettingsModel() + "}", text.substr(start + prefix.size()));
}

TEST(EngineManifestTest, RuleSectionsDifferWhereTheyShould)
{
    const Json manifest = parsed(engineManifest());
    const Json& rules = manifest["deviceAgentSettingsModel"]["sections"][0]["sections"];
    EXPECT_EQ("Cross Line ", rules[0]["caption"].stringValue());
    EXPECT_EQ("LineCrossedSections", rules[0]["name"].stringValue());
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_TRUE(rules[i]["name"].isNull()) << i;

    const Json& lineItems = rules[0]["items"][0]["items"][1]["template"]["items"];
    EXPECT_EQ("LineCrossed.IncludeArea#.Points", lineItems[1]["name"].stringValue());
    EXPECT_EQ("any", lineItems[1]["allowedDirections"].stringValue());
    EXPECT_EQ(7u, lineItems.arrayItems().size());

    const Json& intrusionItems = rules[1]["items"][0]["items"][1]["template"]["items"];
    EXPECT_EQ(8u, intrusionItems.arrayItems().size());
    EXPECT_EQ("Intrusion.IncludeArea#.TimeThreshold", intrusionItems[2]["name"].stringValue());
    EXPECT_EQ(1.0, intrusionItems[2]["defaultValue"].numberValue());

    const char* const areaPrefixes[] = {"EnterArea", "LeaveArea"};
    for (std::size_t i = 2; i < 4; ++i)
    {
        const Json& items = rules[i]["items"][0]["items"][1]["template"]["items"];
        EXPECT_EQ(7u, items.arrayItems().size());
        EXPECT_EQ(std::string(areaPrefixes[i - 2]) + ".IncludeArea#.Figure",
                  items[1]["name"].stringValue());
        EXPECT_EQ(3.0, items[1]["minPoints"].numberValue());
        EXPECT_EQ(6.0, items[1]["maxPoints"].numberValue());
        for (const Json& item : items.arrayItems())
            EXPECT_EQ(std::string::npos, item["name"].stringValue().find("TimeThreshold"));
    }
}

TEST(EngineManifestTest, DeclaresNoTimestampShiftItem)
{
    EXPECT_EQ(std::string::npos, engineManifest().find("timestampShiftMs"));
}

}  // namespace
