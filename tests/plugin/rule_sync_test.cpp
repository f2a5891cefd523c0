// The agent's entry points: the plugin-side settings read-back and the write of all four
// rule kinds, also from several sessions at once.

#include "plugin/rules/rule_sync.h"

#include <functional>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "nx_sdk/assertion_test_support.h"
#include "plugin/rule_test_support.h"
#include "plugin/rules/rule_area_sync.h"
#include "plugin/rules/rule_line_cross_sync.h"

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

using namespace test;
using control::Operation;
using nx::sdk::test::captureStderr;
using Codes = std::vector<int32_t>;

const Settings kAllSwitchesOff = {{"CrossLineEnable", "false"},
                                  {"EnterAreaEnable", "false"},
                                  {"IntrusionEnable", "false"},
                                  {"LeaveAreaEnable", "false"}};

// Number settings for every rule of every kind, with `sensitivity`.
Settings numberSettings(const std::string& sensitivity)
{
    Settings settings;
    for (const RuleKind kind : kRuleTypeOrder)
    {
        for (int n = 1; n <= 4; ++n)
        {
            settings[ruleSettingKey(kind, n, kSensitivitySuffix)] = sensitivity;
            settings[ruleSettingKey(kind, n, kTimeThresholdSuffix)] = "2";
        }
    }
    return settings;
}

TEST_F(RuleSyncTest, UnreachableCameraReadsBackNothing)
{
    const RuleSession session = openCamera(1, allKindsChannel());
    control::removeCamera(m_cameras[1]);
    EXPECT_EQ(responseValues(*readPluginSideSettings(session)), Settings{});
}

TEST_F(RuleSyncTest, ReadBackHoldsTheSupportedKindsAndEverySwitch)
{
    control::ChannelConfig channel;
    channel.lineCrossCapability = 1;
    channel.lineCrossRules =
        makeRuleList<LineRule>({makeLineRule(0, 5, 0, makePoint(0, 0), makePoint(0, 0), 0),
                                makeLineRule(0, 6, 0, makePoint(0, 0), makePoint(0, 0), 1)});
    // Rules of a kind without capability stay unread.
    channel.intrusionRules = makeRuleList<AreaRule>({makeAreaRule(1, 1, {}, 0)});
    channel.enabledTypes = {101};
    const RuleSession session = openCamera(1, channel);

    Settings expected = kAllSwitchesOff;
    expected["IntrusionEnable"] = "true";
    for (const char* n : {"1", "2"})
    {
        const std::string prefix = std::string("LineCrossed.IncludeArea") + n;
        expected[prefix + ".Enable"] = "false";
        expected[prefix + ".Sensitivity"] = n[0] == '1' ? "5" : "6";
        expected[prefix + ".Priority"] = n[0] == '1' ? "high" : "mid";
    }
    const Settings first = responseValues(*readPluginSideSettings(session));
    EXPECT_EQ(first, expected);
    EXPECT_EQ(responseValues(*readPluginSideSettings(session)), first);
    EXPECT_EQ(0, control::callCount(Operation::kGetIntrusionRules));
}

TEST_F(RuleSyncTest, WriteAllRulesWritesLineEnterLeaveIntrusionInThatOrder)
{
    // Kinds that cannot run together: each write switches the earlier ones off, so the
    // switched-off list records the order.
    control::ChannelConfig channel = allKindsChannel();
    channel.disabledTypes = {100, 101, 102, 103};
    channel.combinations = {{100}, {101}, {102}, {103}};
    const RuleSession session = openCamera(1, channel);
    writeAllRules(session, lookupIn(numberSettings("5")));
    EXPECT_EQ(cameraState(1).enabledTypes, (Codes{101}));
    EXPECT_EQ(cameraState(1).disabledTypes, (Codes{103, 102, 100}));
    for (const Operation op : {Operation::kSetLineCrossRules, Operation::kSetEnterAreaRules,
                               Operation::kSetLeaveAreaRules, Operation::kSetIntrusionRules})
        EXPECT_EQ(1, control::callCount(op));
}

TEST_F(RuleSyncTest, AStoppedWriterLeavesTheOthersRunning)
{
    const RuleSession session = openCamera(1, allKindsChannel());
    Settings settings = numberSettings("5");
    settings["LineCrossed.IncludeArea1.Sensitivity"] = "";
    const std::string log = captureStderr([&] { writeAllRules(session, lookupIn(settings)); });
    EXPECT_EQ(
        "[agent] ERROR: Rule setting \"LineCrossed.IncludeArea1.Sensitivity\" has the value "
        "\"\", which is not a number: invalid stoi argument; the rules of its kind are not "
        "written.\n",
        log);
    EXPECT_EQ(0, control::callCount(Operation::kSetLineCrossRules));
    EXPECT_EQ(1, control::callCount(Operation::kSetEnterAreaRules));
    EXPECT_EQ(1, control::callCount(Operation::kSetLeaveAreaRules));
    EXPECT_EQ(1, control::callCount(Operation::kSetIntrusionRules));
    EXPECT_EQ(3, control::callCount(Operation::kSetSmartRuleSwitches));
}

TEST_F(RuleSyncTest, ThrowingLookupDoesNotEscape)
{
    const RuleSession session = openCamera(1, allKindsChannel());
    const SettingLookup throwing = [](const std::string&) -> std::string
    { throw std::runtime_error("lookup failed"); };
    const std::string log = captureStderr([&] { writeAllRules(session, throwing); });
    EXPECT_NE(std::string::npos,
              log.find("[agent] ERROR: Unable to write the line-crossing rules: lookup failed"))
        << log;
    EXPECT_EQ(0, control::callCount(Operation::kSetLineCrossRules));
}

TEST_F(RuleSyncTest, EachFailedCameraCallPrintsOneLastErrorLine)
{
    control::ChannelConfig channel = allKindsChannel();
    channel.combinations = {{100, 101, 102, 103}};
    const RuleSession session = openCamera(1, channel);
    const Settings settings = numberSettings("5");
    const auto expectOneLastError = [&](Operation failing, const char* what,
                                        const std::function<void()>& action,
                                        const std::string& consequence = "")
    {
        control::failOperation(failing, 1, /*error*/ 42);
        const int before = control::callCount(Operation::kGetLastError);
        const std::string log = captureStderr(action);
        EXPECT_EQ(before + 1, control::callCount(Operation::kGetLastError))
            << static_cast<int>(failing);
        EXPECT_EQ("[agent] ERROR: Unable to " + std::string(what) +
                      " on the camera: OSTREL_GetLastError() = 42" + consequence + ".\n",
                  log);
    };
    const auto writeLine = [&] { writeLineCrossRules(session, lookupIn(settings)); };
    const auto readBack = [&] { readPluginSideSettings(session); };
    expectOneLastError(Operation::kGetLineCrossRules, "read the rules of the line-crossing kind",
                       readBack);
    expectOneLastError(Operation::kGetLineCrossRules, "read the rules of the line-crossing kind",
                       writeLine);
    expectOneLastError(Operation::kSetLineCrossRules, "write the rules of the line-crossing kind",
                       writeLine);
    const std::string kUnchanged = "; the camera's switches were left unchanged";
    expectOneLastError(Operation::kGetSmartRuleSwitches,
                       "read the switches of the line-crossing kind", writeLine, kUnchanged);
    expectOneLastError(Operation::kGetSmartRuleCombinations,
                       "read the switch combinations of the line-crossing kind", writeLine,
                       kUnchanged);
    expectOneLastError(Operation::kSetSmartRuleSwitches,
                       "write the switches of the line-crossing kind", writeLine);
    expectOneLastError(Operation::kGetSmartRuleSwitches,
                       "read the switches of the line-crossing kind", readBack);
    expectOneLastError(Operation::kSetIntrusionRules, "write the rules of the intrusion kind",
                       [&] { writeAreaRules(RuleKind::kIntrusion, session, lookupIn(settings)); });
}

TEST_F(RuleSyncTest, SessionsOfSeveralCamerasSyncAtTheSameTime)
{
    constexpr int kCameras = 4;
    constexpr int kRounds = 15;
    std::vector<RuleSession> sessions;
    for (int c = 1; c <= kCameras; ++c)
    {
        control::ChannelConfig channel = allKindsChannel();
        channel.combinations = {{100, 101, 102, 103}};
        sessions.push_back(openCamera(c, channel));
    }
    std::vector<std::string> mismatches(kCameras);
    std::vector<std::thread> threads;
    for (int c = 0; c < kCameras; ++c)
    {
        threads.emplace_back(
            [&, c]
            {
                Settings settings = numberSettings(std::to_string(10 + c));
                for (int round = 0; round < kRounds; ++round)
                {
                    settings["EnterArea.IncludeArea1.Figure"] =
                        R"({"figure": {"points": [[0, 0], [1, 0], [1, 1]]}, "label": "C)" +
                        std::to_string(c) + R"("})";
                    writeAllRules(sessions[c], lookupIn(settings));
                    const Settings read = responseValues(*readPluginSideSettings(sessions[c]));
                    const auto it = read.find("Intrusion.IncludeArea3.Sensitivity");
                    if (it == read.end() || it->second != std::to_string(10 + c))
                        mismatches[c] = "round " + std::to_string(round);
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int c = 0; c < kCameras; ++c)
    {
        EXPECT_EQ("", mismatches[c]) << "camera " << c;
        const control::ChannelConfig state = cameraState(c + 1);
        ASSERT_EQ(4u, state.leaveAreaRules.rules.size());
        EXPECT_EQ(static_cast<uint32_t>(10 + c), state.leaveAreaRules.rules[2].rule.sensitivity);
        EXPECT_EQ(3, state.enterAreaRules.rules[0].rule.pointCount);
        EXPECT_EQ(state.enabledTypes.size(), 4u);
    }
    // The shared cache holds one of the labels written.
    const std::string label = ruleCache(RuleKind::kEnterArea).copyEntries().at(0).label;
    EXPECT_TRUE(label == "C0" || label == "C1" || label == "C2" || label == "C3") << label;
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
