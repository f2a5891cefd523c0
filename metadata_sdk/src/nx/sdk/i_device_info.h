// IDeviceInfo: what the host knows of one camera; a host object, read-only for the library.

#pragma once

#include <nx/sdk/interface.h>

namespace nx::sdk
{

class IDeviceInfo : public Interface<IDeviceInfo>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::IDeviceInfo"; }

    // The device id text; starts the device agent's print prefix.
    virtual const char* id() const = 0;
    // The camera maker's name.
    virtual const char* vendor() const = 0;
    // The camera model.
    virtual const char* model() const = 0;
    // The camera firmware version.
    virtual const char* firmware() const = 0;
    // The name the user gave the camera.
    virtual const char* name() const = 0;
    // The camera URL, e.g. "http://192.168.0.10:8000/".
    virtual const char* url() const = 0;
    // The login name for the camera.
    virtual const char* login() const = 0;
    // The password for the camera.
    virtual const char* password() const = 0;
    // The id shared by all channels of a multi-channel device.
    virtual const char* sharedId() const = 0;
    // The id the user sees for the camera.
    virtual const char* logicalId() const = 0;
    // The channel number of this camera on its device (0 for a single-channel device).
    virtual int32_t channelNumber() const = 0;

protected:
    ~IDeviceInfo() = default;
};

}  // namespace nx::sdk
