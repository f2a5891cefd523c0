// How received settings switch the agent: the boolean parse, the switches, and the hook.

#include "plugin/manifests/settings_application.h"

#include <set>

#include <gtest/gtest.h>

#include "host/string_maps.h"
#include "nx_sdk/assertion_test_support.h"
#include "plugin/camera_test_support.h"
#include "plugin/manifests/device_agent_manifest.h"
#include "plugin/rules/rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

using nx::sdk::test::captureStderr;

TEST(SettingsApplicationTest, BooleanParseAcceptsTrueInAnyCaseAndOne)
{
    for (const char* yes : {"true", "TRUE", "tRuE", "1"})
        EXPECT_TRUE(parseBooleanSetting(yes)) << yes;
    for (const char* no : {"false", "0", "", "yes", " true", "true ", "01", "truee"})
        EXPECT_FALSE(parseBooleanSetting(no)) << no;
}

TEST(SettingsApplicationTest, ObjectTypesAreRebuiltWhileAbsentKeysKeepTheOtherSwitches)
{
    AgentSwitches switches;
    applySettings({{"Face", "true"},
                   {"Person", "false"},
                   {"face", "true"},
                   {"Vehicle", "1"},
                   {"sendAttributes", "false"},
                   {"timestampShiftMs", " -40ms"}},
                  "[p] ", &switches);
    EXPECT_EQ(switches.enabledObjectTypes, (std::set<std::string>{"Face", "Vehicle"}));
    EXPECT_FALSE(switches.sendAttributes);
    EXPECT_EQ(switches.timestampShiftMs, -40);

    applySettings({{"LicensePlate", "TRUE"}}, "[p] ", &switches);
    EXPECT_EQ(switches.enabledObjectTypes, (std::set<std::string>{"LicensePlate"}));
    EXPECT_FALSE(switches.sendAttributes);
    EXPECT_EQ(switches.timestampShiftMs, -40);
}

TEST(SettingsApplicationTest, UnreadableShiftKeepsTheOldOneAndSaysWhy)
{
    AgentSwitches switches;
    switches.timestampShiftMs = 7;
    const std::string printed = captureStderr(
        [&]
        {
            applySettings({{"timestampShiftMs", "soon"}}, "[p] ", &switches);
            applySettings({{"timestampShiftMs", "99999999999"}}, "[p] ", &switches);
        });
    EXPECT_EQ(switches.timestampShiftMs, 7);
    EXPECT_EQ(printed,
              "[p] ERROR: Setting \"timestampShiftMs\" has the value \"soon\", which is not a "
              "number (invalid stoi argument); keeping the shift of 7 ms.\n"
              "[p] ERROR: Setting \"timestampShiftMs\" has the value \"99999999999\", which is "
              "not a number (stoi argument out of range); keeping the shift of 7 ms.\n");
}

class SettingsHookTest : public korvane::test::CameraTest
{
protected:
    static ostrel::control::ChannelConfig allKindsChannel()
    {
        ostrel::control::ChannelConfig channel;
        channel.lineCrossCapability = channel.intrusionCapability = 1;
        channel.enterAreaCapability = channel.leaveAreaCapability = 1;
        channel.combinations = {{100, 101, 102, 103}};
        return channel;
    }

    // What the settings page sends: every rule with a sensitivity (and a time threshold).
    static std::map<std::string, std::string> pageSettings()
    {
        std::map<std::string, std::string> settings = {{"generateEvents", "true"}};
        for (const RuleKind kind : kRuleTypeOrder)
        {
            for (int n = 1; n <= 4; ++n)
            {
                settings[ruleSettingKey(kind, n, kEnableSuffix)] = "true";
                settings[ruleSettingKey(kind, n, kSensitivitySuffix)] = "50";
                settings[ruleSettingKey(kind, n, kTimeThresholdSuffix)] = "1";
            }
        }
        return settings;
    }
};

TEST_F(SettingsHookTest, ManifestIsPushedOncePerDeliveryAndMissingGenerateEventsIsReported)
{
    addCamera(1);
    korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    takeLog();
    setSettings(agent.agent.get(), {{"Face", "true"}});
    setSettings(agent.agent.get(), {{"Face", "true"}});
    EXPECT_EQ(agent.handler->manifests(),
              (std::vector<std::string>{deviceAgentManifest(), deviceAgentManifest()}));
    const std::string log = takeLog();
    EXPECT_NE(log.find("[korvane_test_device_cam1] ERROR: Requested setting \"generateEvents\" "
                       "is missing; implying empty string.\n"),
              std::string::npos)
        << log;
}

TEST_F(SettingsHookTest, RulesAreWrittenFromTheSecondDeliveryOnInTheirOrder)
{
    using ostrel::control::Operation;
    addCamera(1, 1, allKindsChannel());
    korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    const std::map<std::string, std::string> settings = pageSettings();
    const Operation kWrites[] = {Operation::kSetLineCrossRules, Operation::kSetEnterAreaRules,
                                 Operation::kSetLeaveAreaRules, Operation::kSetIntrusionRules,
                                 Operation::kSetSmartRuleSwitches};

    setSettings(agent.agent.get(), settings);
    for (const Operation write : kWrites)
        EXPECT_EQ(ostrel::control::callCount(write), 0) << static_cast<int>(write);

    EXPECT_EQ(setSettings(agent.agent.get(), settings), "") << "everything reached the camera";
    for (const Operation write : kWrites)
    {
        EXPECT_EQ(ostrel::control::callCount(write),
                  write == Operation::kSetSmartRuleSwitches ? 4 : 1)
            << static_cast<int>(write);
    }
    EXPECT_EQ(agent.handler->manifests().size(), 2u);
}

// One row per Camera SDK call that fails, and when: the camera's switched-on kinds after a
// delivery that switches intrusion (the one kind the camera supports) on or off, what the
// delivery answers, how many switch keys the read-back holds, and the one line printed.
TEST_F(SettingsHookTest, EachFailedCameraCallIsReportedAndNoSwitchIsWrittenFromNothing)
{
    using ostrel::control::Operation;
    using Codes = std::set<int32_t>;
    enum class When
    {
        kOpening,
        kDelivery,
        kReadBack,
        kRelease
    };
    const std::string kCamera = "the camera 10.0.0.1:8000";
    const std::string kNotAll = "otherError: The settings did not all reach " + kCamera + ": ";
    const std::string kError = " (OSTREL_GetLastError() = 42)";
    const std::string kUnchanged = "the camera's switches were left unchanged";
    const auto ruleLine = [&](const std::string& what, const std::string& tail = "")
    { return "Unable to " + what + " kind on " + kCamera + ": OSTREL_GetLastError() = 42" + tail; };
    const struct
    {
        When when;
        Operation failing;
        bool intrusionOn;
        Codes enabledAfter;
        std::string result;
        size_t switchKeys;
        std::string line;
    } kRows[] = {
        {When::kDelivery,
         Operation::kGetSmartRuleSwitches,
         false,
         {100, 102},
         kNotAll + "unable to read the switches of the intrusion kind" + kError + ", so " +
             kUnchanged + ".",
         4,
         ruleLine("read the switches of the intrusion", "; " + kUnchanged + ".")},
        {When::kDelivery,
         Operation::kGetSmartRuleCombinations,
         true,
         {100, 102},
         kNotAll + "unable to read the switch combinations of the intrusion kind" + kError +
             ", so " + kUnchanged + ".",
         4,
         ruleLine("read the switch combinations of the intrusion", "; " + kUnchanged + ".")},
        {When::kDelivery,
         Operation::kSetSmartRuleSwitches,
         true,
         {100, 102},
         kNotAll + "unable to write the switches of the intrusion kind" + kError + ".",
         4,
         ruleLine("write the switches of the intrusion", ".")},
        {When::kDelivery,
         Operation::kGetIntrusionRules,
         true,
         {100, 102},
         kNotAll + "unable to read the rules of the intrusion kind" + kError + ".",
         4,
         ruleLine("read the rules of the intrusion", ".")},
        {When::kDelivery,
         Operation::kSetIntrusionRules,
         true,
         {100, 101, 102},
         kNotAll + "unable to write the rules of the intrusion kind" + kError + ".",
         4,
         ruleLine("write the rules of the intrusion", ".")},
        {When::kReadBack,
         Operation::kGetSmartRuleSwitches,
         true,
         {100, 101, 102},
         "",
         3,
         ruleLine("read the switches of the line-crossing", ".")},
        {When::kOpening,
         Operation::kLogin,
         true,
         {100, 102},
         kNotAll + "there is no camera session.",
         0,
         "The camera session with 10.0.0.1:8000 did not open: the login failed" + kError},
        {When::kOpening,
         Operation::kGetDeviceConfig,
         true,
         {100, 102},
         kNotAll + "its smart-rule capabilities could not be read when the session opened" +
             kError + ".",
         4,
         "The smart-rule capabilities of " + kCamera + " could not be read" + kError},
        {When::kOpening,
         Operation::kSetAlarmCallback,
         true,
         {100, 101, 102},
         "",
         4,
         "The alarm callback could not be installed on " + kCamera + kError + "; no events arrive"},
        {When::kRelease,
         Operation::kUnsubscribe,
         true,
         {100, 101, 102},
         "",
         4,
         "Unable to unsubscribe from " + kCamera + kError},
        {When::kRelease,
         Operation::kLogout,
         true,
         {100, 101, 102},
         "",
         4,
         "Unable to log out of " + kCamera + kError},
    };
    ostrel::control::ChannelConfig channel;
    channel.intrusionCapability = 1;
    channel.enabledTypes = {100, 102};
    channel.disabledTypes = {101, 103};
    channel.combinations = {{100, 101, 102, 103}};
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.line);
        ostrel::control::reset();
        const auto camera = addCamera(1, 1, channel);
        const auto failAt = [&](When when)
        {
            if (row.when == when)
                ostrel::control::failOperation(row.failing, 1, /*error*/ 42);
        };
        takeLog();
        failAt(When::kOpening);
        korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
        ASSERT_TRUE(agent.agent);
        std::map<std::string, std::string> settings = pageSettings();
        settings["IntrusionEnable"] = row.intrusionOn ? "true" : "false";
        EXPECT_EQ(setSettings(agent.agent.get(), settings), "") << "the first writes nothing";
        failAt(When::kDelivery);
        EXPECT_EQ(setSettings(agent.agent.get(), settings), row.result);
        const auto enabled = ostrel::control::channelState(camera, 0).enabledTypes;
        EXPECT_EQ(Codes(enabled.begin(), enabled.end()), row.enabledAfter);

        failAt(When::kReadBack);
        const int readsBefore = ostrel::control::callCount(Operation::kGetSmartRuleSwitches);
        nx::sdk::Result<const nx::sdk::ISettingsResponse*> readBack;
        agent.agent->getPluginSideSettings(&readBack);
        const nx::sdk::Ptr<const nx::sdk::ISettingsResponse> response(readBack.value);
        ASSERT_TRUE(response);
        const auto values = korvane::host::toStdMap(nx::sdk::toPtr(response->values()).get());
        size_t switchKeys = 0;
        for (const RuleKind kind : kRuleTypeOrder)
            switchKeys += values.count(ruleKindInfo(kind).switchKey);
        EXPECT_EQ(switchKeys, row.switchKeys);
        if (row.switchKeys == 0)
        {
            EXPECT_EQ(ostrel::control::callCount(Operation::kGetSmartRuleSwitches), readsBefore);
        }

        failAt(When::kRelease);
        agent.agent.reset();
        const std::string log = takeLog();
        EXPECT_NE(log.find("] ERROR: " + row.line), std::string::npos) << log;
        size_t lastErrorLines = 0;
        for (size_t at = log.find("OSTREL_GetLastError()"); at != std::string::npos;
             at = log.find("OSTREL_GetLastError()", at + 1))
        {
            ++lastErrorLines;
        }
        EXPECT_EQ(lastErrorLines, 1u) << log;
        EXPECT_EQ(log.find(kPassword), std::string::npos);
    }
}

// Settings the camera cannot take: the delivery says which and why, and the other kinds
// are still written.
TEST_F(SettingsHookTest, EachSettingTheCameraCannotTakeIsReported)
{
    using Codes = std::set<int32_t>;
    const std::string kNotAll =
        "otherError: The settings did not all reach the camera "
        "10.0.0.1:8000: ";
    const struct
    {
        std::map<std::string, std::string> edits;
        std::vector<std::vector<int32_t>> combinations;
        std::string result;
        Codes enabledAfter;
    } kRows[] = {
        {{{"Intrusion.IncludeArea2.Sensitivity", "abc"}},
         {{100, 101, 102, 103}},
         kNotAll + "the setting Intrusion.IncludeArea2.Sensitivity has the value \"abc\", which "
                   "is not a number, so the rules of the intrusion kind were not written.",
         {100, 102}},
        {{{"CrossLineEnable", "TRUE"}},
         {{100, 101, 102, 103}},
         kNotAll + "the line-crossing kind could not be switched on: the camera does not "
                   "support it on channel 0.",
         {100, 101, 102}},
        {{},
         {{100, 102}},
         kNotAll + "the intrusion kind could not be switched on: it is in none of the camera's "
                   "combination groups, so the camera's switches were left unchanged.",
         {100, 102}},
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.result);
        ostrel::control::reset();
        ostrel::control::ChannelConfig channel;
        channel.intrusionCapability = 1;
        channel.enabledTypes = {100, 102};
        channel.disabledTypes = {101, 103};
        channel.combinations = row.combinations;
        const auto camera = addCamera(1, 1, channel);
        korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
        ASSERT_TRUE(agent.agent);
        std::map<std::string, std::string> settings = pageSettings();
        settings["IntrusionEnable"] = "true";
        setSettings(agent.agent.get(), settings);
        for (const auto& [key, value] : row.edits)
            settings[key] = value;
        EXPECT_EQ(setSettings(agent.agent.get(), settings), row.result);
        const auto enabled = ostrel::control::channelState(camera, 0).enabledTypes;
        EXPECT_EQ(Codes(enabled.begin(), enabled.end()), row.enabledAfter);
    }
}

TEST_F(SettingsHookTest, PluginSideSettingsComeFromTheCamera)
{
    ostrel::control::ChannelConfig channel;
    channel.lineCrossCapability = 1;
    channel.lineCrossRules.ruleCount = 2;
    channel.lineCrossRules.rules.resize(2);
    channel.lineCrossRules.rules[1].rule.enabled = 1;
    channel.lineCrossRules.rules[1].rule.endPoint = {5000, 2500, {}};
    channel.enabledTypes = {100};
    addCamera(1, 1, channel);
    korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);

    nx::sdk::Result<const nx::sdk::ISettingsResponse*> result;
    agent.agent->getPluginSideSettings(&result);
    ASSERT_TRUE(result.isOk());
    const nx::sdk::Ptr<const nx::sdk::ISettingsResponse> response(result.value);
    ASSERT_TRUE(response);
    const auto values = korvane::host::toStdMap(nx::sdk::toPtr(response->values()).get());
    EXPECT_EQ(values.at("CrossLineEnable"), "true");
    EXPECT_EQ(values.at("IntrusionEnable"), "false");
    EXPECT_EQ(values.at("LineCrossed.IncludeArea1.Enable"), "false");
    EXPECT_EQ(values.count("LineCrossed.IncludeArea1.Points"), 0u);
    EXPECT_EQ(values.at("LineCrossed.IncludeArea2.Points"),
              "{\"figure\": {\"color\": \"\", \"direction\": \"absent\", \"points\": [[0, 0], "
              "[0.5, 0.25]]}, \"label\": \"Cross Line-2\", \"showOnCamera\": false}");
    EXPECT_EQ(values.count("LineCrossed.IncludeArea3.Enable"), 0u) << "the camera reports two";
    EXPECT_EQ(values.count("Intrusion.IncludeArea1.Enable"), 0u) << "capability 0";
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
