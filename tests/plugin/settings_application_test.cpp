// How received settings switch the agent: the boolean parse, the switches, and the hook.

#include "plugin/manifests/settings_application.h"

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
    ostrel::control::ChannelConfig channel;
    channel.lineCrossCapability = channel.intrusionCapability = 1;
    channel.enterAreaCapability = channel.leaveAreaCapability = 1;
    addCamera(1, 1, channel);
    korvane::test::AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    // What the settings page sends: every rule with a sensitivity (and a time threshold).
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
    const Operation kWrites[] = {Operation::kSetLineCrossRules, Operation::kSetEnterAreaRules,
                                 Operation::kSetLeaveAreaRules, Operation::kSetIntrusionRules,
                                 Operation::kSetSmartRuleSwitches};

    setSettings(agent.agent.get(), settings);
    for (const Operation write : kWrites)
        EXPECT_EQ(ostrel::control::callCount(write), 0) << static_cast<int>(write);

    setSettings(agent.agent.get(), settings);
    for (const Operation write : kWrites)
    {
        EXPECT_EQ(ostrel::control::callCount(write),
                  write == Operation::kSetSmartRuleSwitches ? 4 : 1)
            << static_cast<int>(write);
    }
    EXPECT_EQ(agent.handler->manifests().size(), 2u);
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
