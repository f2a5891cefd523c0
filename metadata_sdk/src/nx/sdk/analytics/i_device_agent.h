// IDeviceAgent: the plugin's object for one camera, and the host's handler for it.
//
// The host calls an agent from one thread at a time; the handler may be called by the
// agent from any thread, one call at a time.

#pragma once

#include <nx/sdk/analytics/i_metadata_packet.h>
#include <nx/sdk/i_settings_response.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/result.h>

namespace nx::sdk::analytics
{

// The host's receiver of what a device agent produces.
class IDeviceAgentHandler : public Interface<IDeviceAgentHandler>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IDeviceAgent::IHandler";
    }

    // A metadata packet for the host; borrowed for the call.
    virtual void handleMetadata(IMetadataPacket* metadataPacket) = 0;
    // A diagnostic event for the user: level ("info", "warning", "error"), caption, text.
    virtual void handlePluginDiagnosticEvent(const char* level, const char* caption,
                                             const char* description) = 0;
    // A new device-agent manifest (JSON text); borrowed for the call.
    virtual void pushManifest(const IString* manifest) = 0;

protected:
    ~IDeviceAgentHandler() = default;
};

class IDeviceAgent : public Interface<IDeviceAgent>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IDeviceAgent"; }

    // Device-agent settings from the host; accumulated.
    virtual void doSetSettings(Result<const ISettingsResponse*>* outResult,
                               const IStringMap* settings) = 0;
    // The settings the agent reads from the camera.
    virtual void getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const = 0;
    // The device-agent manifest (JSON text) as a new string with one reference.
    virtual void getManifest(Result<const IString*>* outResult) const = 0;
    // Installs the host's handler (a reference is kept; the previous one is released).
    virtual void setHandler(IDeviceAgentHandler* handler) = 0;
    // Tells the agent which event and object type ids the host currently needs.
    virtual void doSetNeededMetadataTypes(Result<void>* outResult,
                                          const IStringMap* neededMetadataTypes) = 0;

protected:
    ~IDeviceAgent() = default;
};

}  // namespace nx::sdk::analytics
