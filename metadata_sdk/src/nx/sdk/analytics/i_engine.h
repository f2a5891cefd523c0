// IEngine: one analytics engine; creates the device agents and executes actions.
//
// The host calls an engine from one thread at a time; setHandler is also safe against
// concurrent use of the handler.

#pragma once

#include <nx/sdk/analytics/i_action.h>
#include <nx/sdk/analytics/i_engine_info.h>
#include <nx/sdk/i_device_info.h>
#include <nx/sdk/i_settings_response.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/result.h>

namespace nx::sdk::analytics
{

class IDeviceAgent;

// The host's receiver for what an engine reports about itself.
class IEngineHandler : public Interface<IEngineHandler>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEngine::IHandler"; }

    // A diagnostic event for the user: level ("info", "warning", "error"), caption, text.
    virtual void handlePluginDiagnosticEvent(const char* level, const char* caption,
                                             const char* description) = 0;

protected:
    ~IEngineHandler() = default;
};

class IEngine0 : public Interface<IEngine0>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEngine"; }

    // Tells the engine who it is; may be null.
    virtual void setEngineInfo(const IEngineInfo* engineInfo) = 0;
    // Engine settings from the host; accumulated.
    virtual void doSetSettings(Result<const ISettingsResponse*>* outResult,
                               const IStringMap* settings) = 0;
    // Settings the engine itself holds; none for this plugin.
    virtual void getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const = 0;
    // The engine manifest (JSON text) as a new string with one reference.
    virtual void getManifest(Result<const IString*>* outResult) const = 0;
    // Whether the engine can serve the given device.
    virtual bool isCompatible(const IDeviceInfo* deviceInfo) const = 0;
    // Creates the device agent for one camera; the result carries one reference.
    virtual void doObtainDeviceAgent(Result<IDeviceAgent*>* outResult,
                                     const IDeviceInfo* deviceInfo) = 0;
    // Executes a user action.
    virtual void doExecuteAction(Result<IActionResult*>* outResult, const IAction* action) = 0;
    // Installs the host's handler (a reference is kept; the previous one is released).
    virtual void setHandler(IEngineHandler* handler) = 0;

protected:
    ~IEngine0() = default;
};

class IEngine : public Interface<IEngine, IEngine0>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEngine1"; }

    // Tells the engine that a setting marked active changed on the settings page.
    virtual void doGetSettingsOnActiveSettingChange(Result<const ISettingsResponse*>* outResult,
                                                    const IStringMap* settings) = 0;

protected:
    ~IEngine() = default;
};

}  // namespace nx::sdk::analytics
