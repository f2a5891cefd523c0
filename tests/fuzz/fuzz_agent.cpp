#include "fuzz_agent.h"

#include <iostream>

#include <nx/sdk/analytics/i_engine.h>

#include "host/data_packets.h"
#include "host/device_info.h"
#include "host/object_tracker.h"
#include "host/string_maps.h"
#include "plugin/engine.h"

namespace korvane::fuzz
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

namespace
{

// What the agents share: the camera, and the engine that makes them.
struct FuzzCamera
{
    ostrel::control::CameraId camera = 0;
    nx::sdk::Ptr<nx::sdk::analytics::IEngine> engine;
};

FuzzCamera makeFuzzCamera()
{
    // The plugin prints through std::cerr; without a stream buffer it composes no line at
    // all. libFuzzer and the sanitizers write to the file descriptor itself, so their
    // reports still show.
    std::cerr.rdbuf(nullptr);

    host::hostObjectTracker();
    ostrel::control::CameraConfig camera;
    camera.address = "10.0.0.1";
    camera.port = 8000;
    camera.loginName = "admin";
    camera.password = "secret";
    ostrel::control::ChannelConfig channel;
    channel.lineCrossCapability = channel.intrusionCapability = 1;
    channel.enterAreaCapability = channel.leaveAreaCapability = 1;
    camera.channels[0] = channel;
    FuzzCamera result;
    result.camera = ostrel::control::addCamera(camera);
    result.engine = makePtr<nx::vms_server_plugins::analytics::sample::Engine>();
    return result;
}

const FuzzCamera& fuzzCamera()
{
    static const FuzzCamera* const camera = new FuzzCamera(makeFuzzCamera());  //< Never freed.
    return *camera;
}

}  // namespace

void prepareFuzzCamera()
{
    fuzzCamera();
}

FuzzAgent newFuzzAgent()
{
    const FuzzCamera& camera = fuzzCamera();
    FuzzAgent result;
    result.camera = camera.camera;
    result.liveObjects = host::hostObjectTracker()->liveCount();
    host::DeviceDescription device;
    device.id = "fuzz";
    device.url = "http://10.0.0.1:8000/";
    device.login = "admin";
    device.password = "secret";
    Result<IDeviceAgent*> agent;
    camera.engine->doObtainDeviceAgent(&agent, makePtr<host::DeviceInfo>(device).get());
    require(agent.isOk());
    result.agent = queryInterfacePtr<IConsumingDeviceAgent>(toPtr(agent.value));
    require(result.agent != nullptr);
    result.handler = makePtr<host::DeviceAgentHandler>();
    result.agent->setHandler(result.handler.get());
    return result;
}

FuzzAgent& fuzzAgent()
{
    static FuzzAgent* const agent = []()
    {
        auto* created = new FuzzAgent(newFuzzAgent());  //< Lives until the process ends.
        sendSettings(*created, {{"generateEvents", "true"},
                                {"Face", "true"},
                                {"Person", "true"},
                                {"Vehicle", "true"},
                                {"LicensePlate", "true"}});
        created->handler->takeRecords();
        created->handler->takeManifests();
        created->liveObjects = host::hostObjectTracker()->liveCount();
        return created;
    }();
    return *agent;
}

void sendSettings(const FuzzAgent& agent, const std::map<std::string, std::string>& settings)
{
    sendSettingsMap(agent, host::makeStringMap(settings).get());
}

void sendSettingsMap(const FuzzAgent& agent, const IStringMap* settings)
{
    Result<const ISettingsResponse*> result;
    agent.agent->doSetSettings(&result, settings);
    // Settings the camera cannot take are answered with otherError, and nothing else.
    require(result.isOk() || result.error.errorCode == ErrorCode::otherError);
    if (result.value)
        result.value->releaseRef();
    if (result.error.errorMessage)
        result.error.errorMessage->releaseRef();
}

void pushFrame(const FuzzAgent& agent, int64_t timestampUs)
{
    Result<void> result;
    agent.agent->doPushDataPacket(&result, makePtr<host::CompressedVideoPacket>(timestampUs).get());
    if (result.error.errorMessage)
        result.error.errorMessage->releaseRef();
}

void checkBalanced()
{
    FuzzAgent& agent = fuzzAgent();
    agent.handler->takeRecords();
    agent.handler->takeManifests();
    requireLiveObjects(agent.liveObjects);
}

void requireLiveObjects(int expected)
{
    require(host::hostObjectTracker()->liveCount() == expected);
    require(host::hostObjectTracker()->badDestroyCount() == 0);
}

}  // namespace korvane::fuzz
