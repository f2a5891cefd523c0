#include "plugin/camera_test_support.h"

#include <iostream>

#include <nx/sdk/helpers/error.h>
#include <nx/sdk/i_settings_response.h>

#include "host/data_packets.h"
#include "host/string_maps.h"
#include "plugin/plugin_library_test_support.h"

namespace korvane::test
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

void CameraTest::SetUp()
{
    testing::internal::CaptureStderr();
    ostrel::control::reset();
    const host::PluginLibrary* const library = pluginLibrary();
    ASSERT_NE(library, nullptr);
    m_plugin = library->createPlugin();
    ASSERT_TRUE(m_plugin);
    Result<IEngine*> engine;
    m_plugin->doCreateEngine(&engine);
    ASSERT_TRUE(engine.isOk());
    m_engine = toPtr(engine.value);
}

void CameraTest::TearDown()
{
    m_engine.reset();
    m_plugin.reset();
    ostrel::control::reset();
    const std::string log = testing::internal::GetCapturedStderr();
    if (HasFailure())  //< The end of the log helps to see why.
        std::cout << "Log tail:\n" << log.substr(log.size() > 4000 ? log.size() - 4000 : 0);
}

std::string CameraTest::takeLog()
{
    std::string log = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    return log;
}

std::string CameraTest::cameraUrl(int index)
{
    return "http://10.0.0." + std::to_string(index) + ":8000/onvif/device_service";
}

ostrel::control::CameraId CameraTest::addCamera(int index, int32_t channelCount,
                                                const ostrel::control::ChannelConfig& channel,
                                                int32_t channelNumber)
{
    ostrel::control::CameraConfig config;
    config.address = "10.0.0." + std::to_string(index);
    config.port = 8000;
    config.loginName = kLogin;
    config.password = kPassword;
    config.channelCount = channelCount;
    config.channels[channelNumber] = channel;
    return ostrel::control::addCamera(config);
}

host::DeviceDescription CameraTest::cameraDevice(int index, int32_t channelNumber)
{
    host::DeviceDescription description;
    description.id = "cam" + std::to_string(index);
    description.url = cameraUrl(index);
    description.login = kLogin;
    description.password = kPassword;
    description.channelNumber = channelNumber;
    return description;
}

AgentUnderTest CameraTest::obtainAgent(const host::DeviceDescription& description)
{
    AgentUnderTest result;
    result.deviceInfo = makePtr<host::DeviceInfo>(description);
    Result<IDeviceAgent*> agent;
    m_engine->doObtainDeviceAgent(&agent, result.deviceInfo.get());
    if (agent.error.errorMessage)
        agent.error.errorMessage->releaseRef();
    const Ptr<IDeviceAgent> deviceAgent = toPtr(agent.value);
    result.agent = queryInterfacePtr<IConsumingDeviceAgent>(deviceAgent);
    if (result.agent)
    {
        result.handler = makePtr<host::DeviceAgentHandler>();
        result.agent->setHandler(result.handler.get());
    }
    return result;
}

std::string CameraTest::setSettings(IConsumingDeviceAgent* agent,
                                    const std::map<std::string, std::string>& settings)
{
    Result<const ISettingsResponse*> result;
    agent->doSetSettings(&result, host::makeStringMap(settings).get());
    if (result.value)
        result.value->releaseRef();
    if (result.isOk())
        return "";
    std::string message = toString(result.error.errorCode) + ": ";
    if (result.error.errorMessage)
    {
        message += result.error.errorMessage->str();
        result.error.errorMessage->releaseRef();
    }
    return message;
}

bool CameraTest::pushFrame(IConsumingDeviceAgent* agent, int64_t timestampUs)
{
    Result<void> result;
    agent->doPushDataPacket(&result, makePtr<host::CompressedVideoPacket>(timestampUs).get());
    const bool ok = result.isOk();
    if (result.error.errorMessage)
        result.error.errorMessage->releaseRef();
    return ok;
}

}  // namespace korvane::test
