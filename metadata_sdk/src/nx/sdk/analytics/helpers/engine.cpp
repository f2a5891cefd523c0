#include "engine.h"

#include <nx/kit/debug.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string.h>
#include <nx/sdk/helpers/string_map_conversion.h>
#include <nx/sdk/helpers/uuid_helper.h>

namespace nx::sdk::analytics
{

namespace
{

std::string makePrintPrefix(const IEngineInfo* engineInfo)
{
    std::string engineIdPart;
    if (engineInfo)
    {
        const char* const engineId = engineInfo->id();
        engineIdPart = std::string("_") + (engineId ? engineId : "");
    }
    return "[" + libContext().name() + "_engine" + engineIdPart + "] ";
}

}  // namespace

Engine::Engine(bool enableOutput)
    : m_enableOutput(enableOutput), m_printPrefix(makePrintPrefix(nullptr))
{
    NX_KIT_PRINT(m_printPrefix) << "Created IEngine @"
                                << nx::kit::debug::toDiagnosticText(static_cast<const void*>(this))
                                << " of " << libContext().name();
}

Engine::~Engine()
{
    NX_KIT_PRINT(m_printPrefix) << "Destroyed " << static_cast<const void*>(this);
}

void Engine::setEngineInfo(const IEngineInfo* engineInfo)
{
    m_printPrefix = makePrintPrefix(engineInfo);
}

void Engine::doSetSettings(Result<const ISettingsResponse*>* outResult, const IStringMap* settings)
{
    if (!convertStringMap(&m_settings, settings, m_enableOutput, m_printPrefix, "Received settings",
                          /*indent*/ 0))
    {
        *outResult = error(ErrorCode::invalidParams, "Unable to convert the input string map");
        return;
    }
    *outResult = settingsReceived();
}

void Engine::getPluginSideSettings(Result<const ISettingsResponse*>* /*outResult*/) const {}

void Engine::getManifest(Result<const IString*>* outResult) const
{
    *outResult = Result<const IString*>(new String(manifestString()));
}

bool Engine::isCompatible(const IDeviceInfo* /*deviceInfo*/) const
{
    return true;
}

void Engine::doExecuteAction(Result<IActionResult*>* outResult, const IAction* action)
{
    if (!action)
    {
        NX_KIT_PRINT(m_printPrefix) << "doExecuteAction"
                                    << "(): INTERNAL ERROR: action is null";
        *outResult = error(ErrorCode::invalidParams, "Action is null");
        return;
    }

    if (m_enableOutput)
        printAction(action);

    const auto params = toPtr(action->params());
    std::map<std::string, std::string> paramsMap;
    if (!convertStringMap(&paramsMap, params.get(), m_enableOutput, m_printPrefix, "params",
                          /*indent*/ 4))
    {
        *outResult = error(ErrorCode::invalidParams, "Invalid action parameters");
        return;
    }

    if (m_enableOutput)
        NX_KIT_PRINT(m_printPrefix) << "}";

    const auto objectTrackInfo = toPtr(action->objectTrackInfo());
    *outResult =
        executeAction(action->actionId() ? action->actionId() : "", action->objectTrackId(),
                      action->deviceId(), action->timestampUs(), objectTrackInfo.get(), paramsMap);
}

void Engine::printAction(const IAction* action) const
{
    NX_KIT_PRINT(m_printPrefix) << "doExecuteAction"
                                << "():";
    NX_KIT_PRINT(m_printPrefix) << "{";
    NX_KIT_PRINT(m_printPrefix) << "    actionId: "
                                << nx::kit::debug::toDiagnosticText(action->actionId());
    NX_KIT_PRINT(m_printPrefix) << "    objectTrackId: " << toString(action->objectTrackId());
    NX_KIT_PRINT(m_printPrefix) << "    deviceId: " << toString(action->deviceId());
    NX_KIT_PRINT(m_printPrefix) << "    timestampUs: " << action->timestampUs();
}

void Engine::setHandler(IEngineHandler* handler)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = shareToPtr(handler);
}

void Engine::doGetSettingsOnActiveSettingChange(Result<const ISettingsResponse*>* /*outResult*/,
                                                const IStringMap* /*settings*/)
{
}

Result<const ISettingsResponse*> Engine::settingsReceived()
{
    return Result<const ISettingsResponse*>();
}

Result<IActionResult*> Engine::executeAction(const std::string& /*actionId*/,
                                             const Uuid& /*objectTrackId*/,
                                             const Uuid& /*deviceId*/, int64_t /*timestampUs*/,
                                             IObjectTrackInfo* /*objectTrackInfo*/,
                                             const std::map<std::string, std::string>& /*params*/)
{
    return Result<IActionResult*>();
}

}  // namespace nx::sdk::analytics
