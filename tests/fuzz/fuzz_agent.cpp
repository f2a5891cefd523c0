#include "fuzz_agent.h"

#include <iostream>
#include <streambuf>

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

// Swallows everything written to it.
class NullBuffer final : public std::streambuf
{
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

FuzzAgent makeFuzzAgent()
{
    // The plugin prints through std::cerr; libFuzzer and the sanitizers write to the file
    // descriptor itself, so their reports still show.
    static NullBuffer nullBuffer;
    std::cerr.rdbuf(&nullBuffer);

    host::hostObjectTracker();
    FuzzAgent result;
    ostrel::control::CameraConfig camera;
    camera.address = "10.0.0.1";
    camera.port = 8000;
    camera.loginName = "admin";
    camera.password = "secret";
    ostrel::control::ChannelConfig channel;
    channel.lineCrossCapability = channel.intrusionCapability = 1;
    channel.enterAreaCapability = channel.leaveAreaCapability = 1;
    camera.channels[0] = channel;
    result.camera = ostrel::control::addCamera(camera);

    host::DeviceDescription device;
    device.id = "fuzz";
    device.url = "http://10.0.0.1:8000/";
    device.login = "admin";
    device.password = "secret";
    const auto engine = makePtr<nx::vms_server_plugins::analytics::sample::Engine>();
    Result<IDeviceAgent*> agent;
    engine->doObtainDeviceAgent(&agent, makePtr<host::DeviceInfo>(device).get());
    require(agent.isOk());
    result.agent = queryInterfacePtr<IConsumingDeviceAgent>(toPtr(agent.value));
    require(result.agent != nullptr);
    result.handler = makePtr<host::DeviceAgentHandler>();
    result.agent->setHandler(result.handler.get());
    return result;
}

}  // namespace

FuzzAgent& fuzzAgent()
{
    static FuzzAgent* const agent = []()
    {
        auto* created = new FuzzAgent(makeFuzzAgent());  //< Lives until the process ends.
        const std::map<std::string, std::string> everything = {{"generateEvents", "true"},
                                                               {"Face", "true"},
                                                               {"Person", "true"},
                                                               {"Vehicle", "true"},
                                                               {"LicensePlate", "true"}};
        Result<const ISettingsResponse*> result;
        created->agent->doSetSettings(&result, host::makeStringMap(everything).get());
        created->handler->takeRecords();
        created->liveObjects = host::hostObjectTracker()->liveCount();
        return created;
    }();
    return *agent;
}

void sendSettings(const std::map<std::string, std::string>& settings)
{
    Result<const ISettingsResponse*> result;
    fuzzAgent().agent->doSetSettings(&result, host::makeStringMap(settings).get());
    require(result.isOk());
    if (result.value)
        result.value->releaseRef();
}

void pushFrame(int64_t timestampUs)
{
    Result<void> result;
    fuzzAgent().agent->doPushDataPacket(&result,
                                        makePtr<host::CompressedVideoPacket>(timestampUs).get());
    if (result.error.errorMessage)
        result.error.errorMessage->releaseRef();
}

void checkBalanced()
{
    FuzzAgent& agent = fuzzAgent();
    agent.handler->takeRecords();
    require(host::hostObjectTracker()->liveCount() == agent.liveObjects);
    require(host::hostObjectTracker()->badDestroyCount() == 0);
}

}  // namespace korvane::fuzz
