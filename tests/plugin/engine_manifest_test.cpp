// The engine manifest: its text byte for byte, its top-level keys, and the rule setting keys
// its device-agent settings model declares.

#include "plugin/manifests/engine_manifest.h"

#include <nx/kit/json.h>

#include <gtest/gtest.h>

#include "plugin/manifest_test_support.h"
#include "plugin/rule_test_support.h"
#include "plugin/rules/rule_sync.h"

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{

namespace sample = nx::vms_server_plugins::analytics::sample;
namespace control = sample::test::control;

using nx::kit::Json;
using sample::engineManifest;

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

Json parsed(const std::string& text)
{
    std::string error;
    Json value = Json::parse(text, &error);
    EXPECT_TRUE(error.empty()) << error;
    return value;
}

// The setting names that `value`, a part of a settings model, declares: the names in a
// repeater's template once per index, with "#" replaced by the index. Section names are not
// settings and are left out.
void collectDeclaredNames(const Json& value, std::set<std::string>* names)
{
    for (const Json& item : value.arrayItems())
        collectDeclaredNames(item, names);
    if (value["type"].stringValue() == "Repeater")
    {
        std::set<std::string> templateNames;
        collectDeclaredNames(value["template"], &templateNames);
        const int first = static_cast<int>(value["startIndex"].numberValue());
        const int count = static_cast<int>(value["count"].numberValue());
        for (int index = first; index < first + count; ++index)
        {
            for (std::string name : templateNames)
            {
                for (auto at = name.find('#'); at != std::string::npos; at = name.find('#'))
                    name.replace(at, 1, std::to_string(index));
                names->insert(name);
            }
        }
        return;
    }
    if (value["type"].stringValue() != "Section" && value["name"].isString())
        names->insert(value["name"].stringValue());
    for (const auto& member : value.objectItems())
        collectDeclaredNames(member.second, names);
}

// A channel with every rule slot of every kind filled and enabled, each rule with a filter of
// every object class the settings name, so that its read-back holds every rule setting.
control::ChannelConfig everyRuleSettingChannel()
{
    using namespace sample::test;
    const std::vector<ObjectFilter> filters = {makeFilter(0, true), makeFilter(1, false),
                                               makeFilter(2, true)};
    const std::vector<RulePoint> corners = {makePoint(0, 0), makePoint(9000, 0),
                                            makePoint(0, 9000)};
    std::vector<control::RuleEntry<LineRule>> lines;
    std::vector<control::RuleEntry<AreaRule>> areas;
    for (int slot = 0; slot < kOstrelRuleSlots; ++slot)
    {
        lines.push_back(makeLineRule(1, 50, 0, corners[0], corners[1], 0, filters));
        areas.push_back(makeAreaRule(1, 50, corners, 0, 2, filters));
    }
    control::ChannelConfig channel = allKindsChannel();
    channel.lineCrossRules = makeRuleList(lines);
    channel.intrusionRules = channel.enterAreaRules = channel.leaveAreaRules = makeRuleList(areas);
    return channel;
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

// The server reads the text as it is, so every byte counts: it equals the recorded text.
TEST(EngineManifestTest, TextEqualsTheRecordedText)
{
    std::ifstream file(KORVANE_ENGINE_MANIFEST_GOLDEN, std::ios::binary);
    ASSERT_TRUE(file.is_open()) << KORVANE_ENGINE_MANIFEST_GOLDEN;
    const std::string recorded{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
    EXPECT_EQ(recorded, engineManifest());
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

using EngineManifestKeyTest = sample::test::RuleSyncTest;

// Every key the rule readers, writers and switches use is declared by the settings model, and
// every setting of its rule sections is used. The keys in use are taken from the agent's side:
// what the read-back of a camera with every rule setting holds, and what writing those values
// back looks up.
TEST_F(EngineManifestKeyTest, SettingsModelDeclaresExactlyTheRuleKeysInUse)
{
    const sample::RuleSession session = openCamera(1, everyRuleSettingChannel());
    const sample::test::Settings readBack =
        sample::test::responseValues(*sample::readPluginSideSettings(session));
    std::set<std::string> used;
    for (const auto& entry : readBack)
        used.insert(entry.first);
    const sample::SettingLookup readBackLookup = sample::test::lookupIn(readBack);
    sample::writeAllRules(session,
                          [&](const std::string& key)
                          {
                              used.insert(key);
                              return readBackLookup(key);
                          });

    const Json model = parsed(engineManifest())["deviceAgentSettingsModel"];
    std::set<std::string> declared;
    collectDeclaredNames(model, &declared);
    std::set<std::string> declaredByRuleSections;
    collectDeclaredNames(model["sections"], &declaredByRuleSections);
    for (const std::string& key : used)
        EXPECT_EQ(1u, declared.count(key)) << "used, not declared: " << key;
    for (const std::string& key : declaredByRuleSections)
        EXPECT_EQ(1u, used.count(key)) << "declared, not used: " << key;
}

}  // namespace
