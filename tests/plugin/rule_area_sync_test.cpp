// Area rule sync (intrusion, enter area, leave area) against the Camera SDK stand-in.

#include "plugin/rules/rule_area_sync.h"

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

const std::vector<RulePoint> kSquare = {makePoint(2500, 2500), makePoint(7500, 2500),
                                        makePoint(7500, 7500), makePoint(2500, 7500)};
const std::vector<RulePoint> kHexagon = {makePoint(1000, 0), makePoint(2000, 0),
                                         makePoint(3000, 0), makePoint(4000, 0),
                                         makePoint(5000, 0), makePoint(6000, 0)};

// Every kind with one enabled rule: intrusion a square with threshold 7, enter area a
// square, leave area a hexagon.
control::ChannelConfig areaChannel()
{
    control::ChannelConfig channel = allKindsChannel();
    channel.intrusionRules =
        makeRuleList<AreaRule>({makeAreaRule(1, 60, kSquare, 1, 7, {makeFilter(2, true, 5)})});
    channel.enterAreaRules = makeRuleList<AreaRule>({makeAreaRule(1, 40, kSquare, 0)});
    channel.leaveAreaRules = makeRuleList<AreaRule>({makeAreaRule(1, 30, kHexagon, 2)});
    return channel;
}

Settings readBack(RuleKind kind, const RuleSession& session)
{
    const auto response = nx::sdk::makePtr<nx::sdk::SettingsResponse>();
    readAreaRules(kind, session, response.get());
    return responseValues(*response);
}

// Number settings for all four rules of `kind`, so that a write gets through.
Settings numberSettings(RuleKind kind)
{
    Settings settings;
    for (int n = 1; n <= 4; ++n)
    {
        settings[ruleSettingKey(kind, n, kSensitivitySuffix)] = "10";
        if (kind == RuleKind::kIntrusion)
            settings[ruleSettingKey(kind, n, kTimeThresholdSuffix)] = "1";
    }
    return settings;
}

AreaRule writtenRule(RuleKind kind, size_t slot)
{
    const control::AreaRules written = control::lastWrittenAreaRules(
        kind == RuleKind::kIntrusion   ? control::RuleSetKind::kIntrusion
        : kind == RuleKind::kEnterArea ? control::RuleSetKind::kEnterArea
                                       : control::RuleSetKind::kLeaveArea);
    EXPECT_EQ(4, written.ruleCount);
    return written.rules.at(slot).rule;
}

TEST_F(RuleSyncTest, IntrusionReadsAndWritesTheTimeThreshold)
{
    const RuleSession session = openCamera(1, areaChannel());
    EXPECT_EQ(readBack(RuleKind::kIntrusion, session),
              (Settings{{"Intrusion.IncludeArea1.Enable", "true"},
                        {"Intrusion.IncludeArea1.Sensitivity", "60"},
                        {"Intrusion.IncludeArea1.TimeThreshold", "7"},
                        {"Intrusion.IncludeArea1.Priority", "mid"},
                        {"Intrusion.IncludeArea1.Figure",
                         R"({"figure": {"color": "", "points": [[0.25, 0.25], [0.75, 0.25], )"
                         R"([0.75, 0.75], [0.25, 0.75]]}, "label": "Intrusion Area-1", )"
                         R"("showOnCamera": false})"},
                        {"Intrusion.IncludeArea1.Person", "true"}}));

    Settings settings = numberSettings(RuleKind::kIntrusion);
    settings["Intrusion.IncludeArea1.TimeThreshold"] = "3";
    writeAreaRules(RuleKind::kIntrusion, session, lookupIn(settings));
    EXPECT_EQ(3u, writtenRule(RuleKind::kIntrusion, 0).timeThreshold);
    EXPECT_EQ(1u, writtenRule(RuleKind::kIntrusion, 3).timeThreshold);
    EXPECT_EQ(1, control::callCount(Operation::kSetIntrusionRules));
    EXPECT_EQ(0, control::callCount(Operation::kSetEnterAreaRules));
}

TEST_F(RuleSyncTest, EnterAreaReadShowsItsCornersAndDefaultLabel)
{
    const RuleSession session = openCamera(1, areaChannel());
    const Settings read = readBack(RuleKind::kEnterArea, session);
    EXPECT_EQ(read.at("EnterArea.IncludeArea1.Figure"),
              R"({"figure": {"color": "", "points": [[0.25, 0.25], [0.75, 0.25], [0.75, 0.75], )"
              R"([0.25, 0.75]]}, "label": "Enter Area-1", "showOnCamera": false})");
    EXPECT_EQ(0u, read.count("EnterArea.IncludeArea1.TimeThreshold"));
    EXPECT_EQ(read.at("EnterArea.IncludeArea1.Priority"), "high");
}

TEST_F(RuleSyncTest, AreaWriteKeepsCornersThatThePointsDoNotGive)
{
    const RuleSession session = openCamera(1, areaChannel());
    Settings settings = numberSettings(RuleKind::kLeaveArea);
    // Four corners over six; the third has one member and keeps the camera's corner.
    settings["LeaveArea.IncludeArea1.Figure"] =
        R"({"figure": {"points": [[0.5, 0.5], [0.6, 0.6], [0.5], [0.8, 0.8]]}})";
    writeAreaRules(RuleKind::kLeaveArea, session, lookupIn(settings));
    AreaRule rule = writtenRule(RuleKind::kLeaveArea, 0);
    EXPECT_EQ(4, rule.pointCount);
    EXPECT_EQ(5000u, rule.points[0].x);
    EXPECT_EQ(3000u, rule.points[2].x);
    EXPECT_EQ(8000u, rule.points[3].x);
    EXPECT_EQ(5000u, rule.points[4].x);
    EXPECT_EQ(6000u, rule.points[5].x);

    // No "points": the polygon and its count stay, the cache fields come from the text.
    settings["LeaveArea.IncludeArea1.Figure"] =
        R"({"figure": {"color": "green"}, "label": "Exit", "showOnCamera": true})";
    writeAreaRules(RuleKind::kLeaveArea, session, lookupIn(settings));
    rule = writtenRule(RuleKind::kLeaveArea, 0);
    EXPECT_EQ(4, rule.pointCount);
    EXPECT_EQ(1, rule.enabled);
    EXPECT_EQ(readBack(RuleKind::kLeaveArea, session).at("LeaveArea.IncludeArea1.Figure"),
              R"({"figure": {"color": "green", "points": [[0.5, 0.5], [0.59999999999999998, )"
              R"(0.59999999999999998], [0.29999999999999999, 0], [0.80000000000000004, )"
              R"(0.80000000000000004]]}, "label": "Exit", "showOnCamera": true})");

    // More than six points: the first six, count 6.
    settings["LeaveArea.IncludeArea1.Figure"] =
        R"({"figure": {"points": [[0, 0], [0.1, 0], [0.2, 0], [0.3, 0], [0.4, 0], [0.5, 0], )"
        R"([0.6, 0], [0.7, 0]]}})";
    writeAreaRules(RuleKind::kLeaveArea, session, lookupIn(settings));
    rule = writtenRule(RuleKind::kLeaveArea, 0);
    EXPECT_EQ(6, rule.pointCount);
    EXPECT_EQ(5000u, rule.points[5].x);
    EXPECT_EQ(2, rule.priority);
}

TEST_F(RuleSyncTest, AreaKindsKeepSeparateCaches)
{
    const RuleSession session = openCamera(1, areaChannel());
    Settings settings = numberSettings(RuleKind::kEnterArea);
    settings["EnterArea.IncludeArea1.Figure"] =
        R"({"figure": {"points": [[0, 0], [1, 0], [1, 1]]}, "label": "Door"})";
    writeAreaRules(RuleKind::kEnterArea, session, lookupIn(settings));
    EXPECT_NE(std::string::npos, readBack(RuleKind::kEnterArea, session)
                                     .at("EnterArea.IncludeArea1.Figure")
                                     .find("\"Door\""));
    EXPECT_NE(std::string::npos, readBack(RuleKind::kLeaveArea, session)
                                     .at("LeaveArea.IncludeArea1.Figure")
                                     .find("\"Leave Area-1\""));
    EXPECT_NE(std::string::npos, readBack(RuleKind::kIntrusion, session)
                                     .at("Intrusion.IncludeArea1.Figure")
                                     .find("\"Intrusion Area-1\""));
}

TEST_F(RuleSyncTest, IntrusionWriteStopsOnATimeThresholdThatIsNotANumber)
{
    const RuleSession session = openCamera(1, areaChannel());
    Settings settings = numberSettings(RuleKind::kIntrusion);
    settings["Intrusion.IncludeArea2.TimeThreshold"] = "soon";
    const std::string log =
        captureStderr([&] { writeAreaRules(RuleKind::kIntrusion, session, lookupIn(settings)); });
    EXPECT_EQ(
        "[agent] ERROR: Rule setting \"Intrusion.IncludeArea2.TimeThreshold\" has the value "
        "\"soon\", which is not a number: invalid stoi argument; the rules of its kind "
        "are not written.\n",
        log);
    EXPECT_EQ(0, control::callCount(Operation::kSetIntrusionRules));
    EXPECT_EQ(0, control::callCount(Operation::kSetSmartRuleSwitches));

    // Enter and leave area have no time threshold to read.
    writeAreaRules(RuleKind::kEnterArea, session, lookupIn(numberSettings(RuleKind::kEnterArea)));
    EXPECT_EQ(1, control::callCount(Operation::kSetEnterAreaRules));
}

TEST_F(RuleSyncTest, AreaSyncNeedsTheKindsCapability)
{
    control::ChannelConfig channel = areaChannel();
    channel.enterAreaCapability = 0;
    const RuleSession session = openCamera(1, channel);
    EXPECT_EQ(readBack(RuleKind::kEnterArea, session), Settings{});
    writeAreaRules(RuleKind::kEnterArea, session, lookupIn(numberSettings(RuleKind::kEnterArea)));
    EXPECT_EQ(0, control::callCount(Operation::kGetEnterAreaRules));
    EXPECT_EQ(0, control::callCount(Operation::kSetSmartRuleSwitches));
    EXPECT_FALSE(readBack(RuleKind::kLeaveArea, session).empty());
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
