// Line-crossing rule sync against the Camera SDK stand-in: what a read adds to the
// settings and what a write sends to the camera.

#include "plugin/rules/rule_line_cross_sync.h"

#include <gtest/gtest.h>

#include "nx_sdk/assertion_test_support.h"
#include "plugin/rule_test_support.h"

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

using namespace test;
using control::Operation;
using nx::sdk::test::captureStderr;

// Two rules: rule 1 enabled with every filter type plus an unknown one, rule 2 off.
control::ChannelConfig twoRuleChannel()
{
    control::ChannelConfig channel;
    channel.lineCrossCapability = 1;
    channel.lineCrossRules = makeRuleList<LineRule>(
        {makeLineRule(1, 50, 7, makePoint(5000, 2500), makePoint(10000, 0), 2,
                      {makeFilter(0, true, 10), makeFilter(1, false, 20), makeFilter(5, true, 30)}),
         makeLineRule(0, 8, 1, makePoint(1, 2), makePoint(3, 4), 9, {makeFilter(2, true, 40)})});
    channel.combinations = {{100, 102}, {101}};
    return channel;
}

Settings readBack(const RuleSession& session)
{
    const auto response = nx::sdk::makePtr<nx::sdk::SettingsResponse>();
    readLineCrossRules(session, response.get());
    return responseValues(*response);
}

// Settings that restate rule 1 of twoRuleChannel() and leave the others empty.
Settings ruleOneSettings()
{
    return {{"LineCrossed.IncludeArea1.Enable", "true"},
            {"LineCrossed.IncludeArea1.Sensitivity", "50"},
            {"LineCrossed.IncludeArea1.Priority", "low"},
            {"LineCrossed.IncludeArea1.Points",
             R"({"figure": {"color": "", "direction": "right", "points": [[0.5, 0.25], [1, 0]]}, )"
             R"("label": "", "showOnCamera": false})"},
            {"LineCrossed.IncludeArea1.Vehicle", "true"},
            {"LineCrossed.IncludeArea1.Non-motor-vehicle", "false"},
            {"LineCrossed.IncludeArea2.Sensitivity", "8"},
            {"LineCrossed.IncludeArea3.Sensitivity", "0"},
            {"LineCrossed.IncludeArea4.Sensitivity", "0"}};
}

TEST_F(RuleSyncTest, LineReadAddsTheReportedRulesOnly)
{
    const RuleSession session = openCamera(1, twoRuleChannel());
    EXPECT_EQ(readBack(session),
              (Settings{
                  {"LineCrossed.IncludeArea1.Enable", "true"},
                  {"LineCrossed.IncludeArea1.Sensitivity", "50"},
                  {"LineCrossed.IncludeArea1.Priority", "low"},
                  {"LineCrossed.IncludeArea1.Points",
                   R"({"figure": {"color": "", "direction": "right", "points": [[0.5, 0.25], )"
                   R"([1, 0]]}, "label": "Cross Line-1", "showOnCamera": false})"},
                  {"LineCrossed.IncludeArea1.Vehicle", "true"},
                  {"LineCrossed.IncludeArea1.Non-motor-vehicle", "false"},
                  // A switched-off rule has no figure, but its filters are there.
                  {"LineCrossed.IncludeArea2.Enable", "false"},
                  {"LineCrossed.IncludeArea2.Sensitivity", "8"},
                  {"LineCrossed.IncludeArea2.Priority", "low"},
                  {"LineCrossed.IncludeArea2.Person", "true"},
              }));
    const std::vector<RuleCacheEntry> cache = ruleCache(RuleKind::kLineCross).copyEntries();
    ASSERT_EQ(2u, cache.size());
    ASSERT_EQ(3u, cache[0].filters.size());
    EXPECT_EQ(5, cache[0].filters[2].type);
    EXPECT_EQ(30, cache[0].filters[2].firstParameters[0]);
    EXPECT_EQ("", cache[0].label);  // the default label is not stored
}

TEST_F(RuleSyncTest, LineSyncDoesNothingWithoutCapabilityOrReadableCamera)
{
    control::ChannelConfig channel = twoRuleChannel();
    channel.lineCrossCapability = 0;
    RuleSession session = openCamera(1, channel);
    EXPECT_EQ(readBack(session), Settings{});
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    EXPECT_EQ(0, control::callCount(Operation::kGetLineCrossRules));

    session.lineCrossCapability = 1;
    control::failOperation(Operation::kGetLineCrossRules, 2);
    EXPECT_EQ(readBack(session), Settings{});
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    EXPECT_EQ(0, control::callCount(Operation::kSetLineCrossRules));
    EXPECT_EQ(0, control::callCount(Operation::kGetSmartRuleSwitches));
}

TEST_F(RuleSyncTest, LineWriteOfUnchangedValuesStillWritesOnce)
{
    const RuleSession session = openCamera(1, twoRuleChannel());
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    EXPECT_EQ(1, control::callCount(Operation::kSetLineCrossRules));
    EXPECT_EQ(1, control::callCount(Operation::kSetSmartRuleSwitches));

    const control::LineRules written = control::lastWrittenLineRules();
    EXPECT_EQ(4, written.ruleCount);
    ASSERT_EQ(4u, written.rules.size());
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(s, written.rules[s].rule.ruleIndex);
    const LineRule& one = written.rules[0].rule;
    EXPECT_EQ(1, one.enabled);
    EXPECT_EQ(50u, one.sensitivity);
    EXPECT_EQ(2, one.priority);
    EXPECT_EQ(2, one.direction);
    EXPECT_EQ(5000u, one.startPoint.x);
    EXPECT_EQ(2500u, one.startPoint.y);
    EXPECT_EQ(10000u, one.endPoint.x);
    // Filter 0 and 1 from the settings with their cached blocks; type 5 exactly as read.
    ASSERT_EQ(3u, written.rules[0].filters.size());
    EXPECT_EQ(1, written.rules[0].filters[0].enabled);
    EXPECT_EQ(10, written.rules[0].filters[0].firstParameters[7]);
    EXPECT_EQ(11, written.rules[0].filters[0].secondParameters[0]);
    EXPECT_EQ(0, written.rules[0].filters[1].enabled);
    EXPECT_EQ(5, written.rules[0].filters[2].objectType);
    EXPECT_EQ(1, written.rules[0].filters[2].enabled);
    EXPECT_EQ(30, written.rules[0].filters[2].firstParameters[0]);
    // Rule 2 had no ".Points": it goes out switched off, with its geometry.
    EXPECT_EQ(0, written.rules[1].rule.enabled);
    EXPECT_EQ(3u, written.rules[1].rule.endPoint.x);
    // The settings keep line crossing on ("CrossLineEnable" missing).
    EXPECT_EQ(cameraState(1).enabledTypes, (std::vector<int32_t>{100}));
}

TEST_F(RuleSyncTest, LineWriteTakesEnableFigurePriorityAndSwitchFromSettings)
{
    control::ChannelConfig channel = twoRuleChannel();
    channel.enabledTypes = {100};
    const RuleSession session = openCamera(1, channel);
    Settings settings = ruleOneSettings();
    settings["LineCrossed.IncludeArea1.Points"] = "";
    settings["LineCrossed.IncludeArea1.Priority"] = "HIGH";
    settings["LineCrossed.IncludeArea2.Enable"] = "";
    settings["LineCrossed.IncludeArea2.Priority"] = "mid";
    settings["LineCrossed.IncludeArea2.Points"] =
        R"({"figure": {"direction": "Left", "points": [[0.25, 0.5]]}, "label": "L2"})";
    settings["LineCrossed.IncludeArea2.Person"] = "false";
    settings["CrossLineEnable"] = "false";
    writeLineCrossRules(session, lookupIn(settings));

    const control::LineRules written = control::lastWrittenLineRules();
    ASSERT_EQ(4u, written.rules.size());
    EXPECT_EQ(0, written.rules[0].rule.enabled);   // ".Enable" true, but no figure
    EXPECT_EQ(2, written.rules[0].rule.priority);  // unknown text keeps the camera's value
    const LineRule& two = written.rules[1].rule;
    EXPECT_EQ(1, two.enabled);
    EXPECT_EQ(1, two.priority);
    EXPECT_EQ(0, two.direction);
    EXPECT_EQ(2500u, two.startPoint.x);
    EXPECT_EQ(0u, two.endPoint.x);  // a missing point is the origin
    EXPECT_EQ(0u, two.endPoint.y);
    ASSERT_EQ(1u, written.rules[1].filters.size());
    EXPECT_EQ(0, written.rules[1].filters[0].enabled);
    EXPECT_EQ(cameraState(1).enabledTypes, std::vector<int32_t>{});
    EXPECT_EQ(cameraState(1).disabledTypes, (std::vector<int32_t>{100}));
}

TEST_F(RuleSyncTest, LineCacheCarriesFigureFieldsAcrossAgents)
{
    const RuleSession first = openCamera(1, twoRuleChannel());
    const RuleSession second = openCamera(2, twoRuleChannel());
    Settings settings = ruleOneSettings();
    settings["LineCrossed.IncludeArea1.Points"] =
        R"({"figure": {"color": "#123456", "direction": "left", "points": [[0, 0], [1, 1]]}, )"
        R"("label": "Gate", "showOnCamera": true})";
    writeLineCrossRules(first, lookupIn(settings));

    EXPECT_EQ(
        readBack(first)["LineCrossed.IncludeArea1.Points"],
        R"({"figure": {"color": "#123456", "direction": "left", "points": [[0, 0], [1, 1]]}, )"
        R"("label": "Gate", "showOnCamera": true})");
    // The other camera's rule keeps its own geometry but shows the cached fields.
    EXPECT_EQ(readBack(second)["LineCrossed.IncludeArea1.Points"],
              R"({"figure": {"color": "#123456", "direction": "right", "points": [[0.5, 0.25], )"
              R"([1, 0]]}, "label": "Gate", "showOnCamera": true})");
}

TEST_F(RuleSyncTest, LineWriteStopsOnASensitivityThatIsNotANumber)
{
    const RuleSession session = openCamera(1, twoRuleChannel());
    struct Case
    {
        const char* value;
        const char* error;
    };
    for (const Case& c :
         {Case{"abc", "invalid stoi argument"}, Case{"99999999999", "stoi argument out of range"}})
    {
        Settings settings = ruleOneSettings();
        settings["LineCrossed.IncludeArea3.Sensitivity"] = c.value;
        const std::string log =
            captureStderr([&] { writeLineCrossRules(session, lookupIn(settings)); });
        EXPECT_EQ(
            std::string("[agent] ERROR: Rule setting \"LineCrossed.IncludeArea3.Sensitivity\" has "
                        "the value \"") +
                c.value + "\", which is not a number: " + c.error +
                "; the rules of its kind are not written.\n",
            log);
    }
    EXPECT_EQ(0, control::callCount(Operation::kSetLineCrossRules));
    EXPECT_EQ(0, control::callCount(Operation::kGetSmartRuleSwitches));
    EXPECT_EQ(0, control::callCount(Operation::kSetSmartRuleSwitches));
}

TEST_F(RuleSyncTest, LineWriteFailureStillAppliesTheSwitch)
{
    const RuleSession session = openCamera(1, twoRuleChannel());
    control::failOperation(Operation::kSetLineCrossRules, 1);
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    EXPECT_EQ(1, control::callCount(Operation::kSetSmartRuleSwitches));
    EXPECT_EQ(cameraState(1).lineCrossRules.ruleCount, 2);  // unchanged on the camera
}

TEST_F(RuleSyncTest, LineCountsOutsideTheStorageAreCut)
{
    // One reported rule: slots 2 to 4 still get cache entries and go out without filters.
    control::ChannelConfig channel = twoRuleChannel();
    channel.lineCrossRules.ruleCount = 1;
    RuleSession session = openCamera(1, channel);
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    control::LineRules written = control::lastWrittenLineRules();
    ASSERT_EQ(4u, written.rules.size());
    EXPECT_EQ(3, written.rules[0].rule.filterCount);
    for (int s = 1; s < 4; ++s)
        EXPECT_EQ(0, written.rules[s].rule.filterCount) << s;
    EXPECT_EQ(4u, ruleCache(RuleKind::kLineCross).copyEntries().size());

    // A camera reporting nine rules and seven filters: four rules, three filters.
    channel = twoRuleChannel();
    channel.lineCrossRules.ruleCount = 9;
    channel.lineCrossRules.rules.resize(4, channel.lineCrossRules.rules[1]);
    channel.lineCrossRules.rules[0].reportedFilterCount = 7;
    control::setChannel(m_cameras[1], 0, channel);
    const Settings read = readBack(session);
    EXPECT_EQ(1u, read.count("LineCrossed.IncludeArea4.Enable"));
    EXPECT_EQ(0u, read.count("LineCrossed.IncludeArea5.Enable"));
    EXPECT_EQ(3u, ruleCache(RuleKind::kLineCross).copyEntries()[0].filters.size());
    writeLineCrossRules(session, lookupIn(ruleOneSettings()));
    written = control::lastWrittenLineRules();
    EXPECT_EQ(4, written.ruleCount);
    EXPECT_EQ(3, written.rules[0].rule.filterCount);
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
