#include "ostrel_sdk/ostrel_control_c.h"

#include "ostrel_sdk/ostrel_control.h"

extern "C"
{
    int ostrelControlAddCamera(const char* address, int32_t port, const char* loginName,
                               const char* password)
    {
        ostrel::control::CameraConfig config;
        config.address = address ? address : "";
        config.port = port;
        config.loginName = loginName ? loginName : "";
        config.password = password ? password : "";
        config.channels[0] = ostrel::control::ChannelConfig();
        return ostrel::control::addCamera(config);
    }

    uint64_t ostrelControlRaiseAlarm(int camera, int32_t alarmType, int64_t timeSeconds)
    {
        return ostrel::control::raiseAlarm(camera, alarmType, timeSeconds);
    }

    int ostrelControlWaitForAllDeliveries(int camera, int timeoutMs)
    {
        return ostrel::control::waitForAllDeliveries(camera, timeoutMs) ? 1 : 0;
    }

    void ostrelControlRemoveCamera(int camera)
    {
        ostrel::control::removeCamera(camera);
    }

    int ostrelControlLiveSessionCount()
    {
        return static_cast<int>(ostrel::control::liveSessions().size());
    }

}  // extern "C"
