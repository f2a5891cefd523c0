// How received settings switch the agent: the boolean parse, the switches, and the hook.

#include "plugin/manifests/settings_application.h"

#include <gtest/gtest.h>

#include "nx_sdk/assertion_test_support.h"
#include "plugin/camera_test_support.h"
#include "plugin/manifests/device_agent_manifest.h"

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

using nx::sdk::test::captureStderr;

TEST(SettingsApplicationTest, BooleanParseAcceptsTrueInAnyCaseAndOne)
{
    for (const char* yes: {"true", "TRUE", "tRuE", "1"})
        EXPECT_TRUE(parseBooleanSetting(yes)) << yes;
    for (const char* no: {"false", "0", "", "yes", " true", "true ", "01", "truee"})
        EXPECT_FALSE(parseBooleanSetting(no)) << no;
}

TEST(SettingsApplicationTest, ObjectTypesAreRebuiltWhileAbsentKeysKeepTheOtherSwitches)
{
    AgentSwitches switches;
    applySettings({{"Face", "true"}, {"Person", "false"}, {"face", "true"}, {"Vehicle", "1"},
                   {"sendAttributes", "false"}, {"timestampShiftMs", " -40ms"}},
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

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
