#include "engine.h"

#include <exception>

#include <nx/kit/debug.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/lib_context.h>

#include "boundary_guard.h"
#include "device_agent.h"
#include "manifests/engine_manifest.h"

namespace nx::vms_server_plugins::analytics::sample
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

Engine::Engine()
    : nx::sdk::analytics::Engine(/*enableOutput*/ true), m_sessionKeeper(SessionKeeper::shared())
{
}

void Engine::doObtainDeviceAgent(Result<IDeviceAgent*>* outResult, const IDeviceInfo* deviceInfo)
{
    if (!deviceInfo)
    {
        failDeviceAgent(outResult, "deviceInfo is null");
        return;
    }
    std::string errorText;
    // A test harness may shorten the session timings through its unit-test options.
    const SessionTimings timings = sessionTimingsFrom(nx::sdk::unitTestOptions());
    if (!runCatching(
            [&] {
                *outResult =
                    Result<IDeviceAgent*>(new DeviceAgent(deviceInfo, m_sessionKeeper, timings));
            },
            &errorText))
    {
        // An exception that is not a std::exception has no text to give.
        failDeviceAgent(outResult, errorText.empty()
                                       ? "Unknown error while creating the device agent"
                                       : errorText);
    }
}

std::string Engine::manifestString() const
{
    return engineManifest();
}

void Engine::failDeviceAgent(Result<IDeviceAgent*>* outResult, const std::string& message) const
{
    NX_KIT_PRINT(printPrefix()) << "doObtainDeviceAgent"
                                << "(): ERROR: " << message;
    *outResult = error(ErrorCode::invalidParams, message);
}

}  // namespace nx::vms_server_plugins::analytics::sample
