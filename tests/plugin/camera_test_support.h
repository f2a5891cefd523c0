// A fixture for tests that drive device agents of the loaded plugin library against
// simulated cameras of the Camera SDK stand-in.
//
// Every test starts with a fresh stand-in, a new plugin and engine, and captures the
// standard error stream for its whole length (the agents print verbose lines).

#pragma once

#include <map>
#include <string>

#include <gtest/gtest.h>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/ptr.h>
#include "ostrel_sdk/ostrel_control.h"

#include "host/device_agent_handler.h"
#include "host/device_info.h"

namespace korvane::test
{

// One device agent with the host objects it was given.
struct AgentUnderTest
{
    nx::sdk::Ptr<nx::sdk::analytics::IConsumingDeviceAgent> agent;
    nx::sdk::Ptr<host::DeviceAgentHandler> handler;
    nx::sdk::Ptr<host::DeviceInfo> deviceInfo;
};

class CameraTest : public testing::Test
{
protected:
    static constexpr const char* kLogin = "admin";
    static constexpr const char* kPassword = "secret";

    void SetUp() override;
    void TearDown() override;

    // Adds a camera at 10.0.0.<index>:8000 with the given channels (channel 0 when none).
    ostrel::control::CameraId addCamera(int index, int32_t channelCount = 1,
                                        const ostrel::control::ChannelConfig& channel = {},
                                        int32_t channelNumber = 0);

    // The URL of camera `index`.
    static std::string cameraUrl(int index);

    // Asks the engine for the agent of `description` and installs a recording handler;
    // the agent is null when the engine refused.
    AgentUnderTest obtainAgent(const host::DeviceDescription& description);

    // A device description for camera `index` with the right credentials.
    static host::DeviceDescription cameraDevice(int index, int32_t channelNumber = 0);

    // Sends settings to `agent`; the response (if any) is released. The error message of
    // the result, or "" when the agent answered with no error.
    static std::string setSettings(nx::sdk::analytics::IConsumingDeviceAgent* agent,
                                   const std::map<std::string, std::string>& settings);

    // Pushes one compressed video frame with `timestampUs`; false when the push failed.
    static bool pushFrame(nx::sdk::analytics::IConsumingDeviceAgent* agent, int64_t timestampUs);

    // What was printed since the test started or since the last call.
    std::string takeLog();

    nx::sdk::Ptr<nx::sdk::analytics::IPlugin> m_plugin;
    nx::sdk::Ptr<nx::sdk::analytics::IEngine> m_engine;
};

}  // namespace korvane::test
