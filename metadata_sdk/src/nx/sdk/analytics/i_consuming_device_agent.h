// IConsumingDeviceAgent: a device agent that consumes the host's data packets (video).

#pragma once

#include <nx/sdk/analytics/i_data_packet.h>
#include <nx/sdk/analytics/i_device_agent.h>

namespace nx::sdk::analytics
{

class IConsumingDeviceAgent0 : public Interface<IConsumingDeviceAgent0, IDeviceAgent>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IConsumingDeviceAgent";
    }

    // One data packet of the camera's stream; borrowed for the call.
    virtual void doPushDataPacket(Result<void>* outResult, IDataPacket* dataPacket) = 0;

protected:
    ~IConsumingDeviceAgent0() = default;
};

class IConsumingDeviceAgent1 : public Interface<IConsumingDeviceAgent1, IConsumingDeviceAgent0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IConsumingDeviceAgent1";
    }

    // The host is about to release the agent.
    virtual void finalize() = 0;

protected:
    ~IConsumingDeviceAgent1() = default;
};

class IConsumingDeviceAgent : public Interface<IConsumingDeviceAgent, IConsumingDeviceAgent1>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IConsumingDeviceAgent2";
    }

    // Tells the agent that a setting marked active changed on the settings page.
    virtual void doGetSettingsOnActiveSettingChange(Result<const ISettingsResponse*>* outResult,
                                                    const IStringMap* settings) = 0;

protected:
    ~IConsumingDeviceAgent() = default;
};

}  // namespace nx::sdk::analytics
