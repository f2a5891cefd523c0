// The OSTREL_ operations of the Camera SDK stand-in, as a camera answers them.
//
// SdkOperations counts and, on request, fails every call through the CallLog, records what
// the plugin sent, and answers from the cameras and sessions: login and logout, channel
// lists, the capability block, callbacks and subscriptions, smart rules and switches.
// Results and last errors are those of the camera maker's SDK (see ostrel_sdk.h).
//
// Thread-safety: every operation REQUIRES simulatorMutex(); logout releases it while it
// waits for callbacks in flight.

#pragma once

#include <cstdint>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/call_log.h"
#include "ostrel_sdk/camera_set.h"
#include "ostrel_sdk/ostrel_control.h"
#include "ostrel_sdk/session_table.h"
#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

class SdkOperations
{
public:
    // REQUIRES: the three outlive the operations.
    SdkOperations(CallLog& calls, SessionTable& sessions, CameraSet& cameras)
        : m_calls(calls), m_sessions(sessions), m_cameras(cameras)
    {
    }
    SdkOperations(const SdkOperations&) = delete;
    SdkOperations& operator=(const SdkOperations&) = delete;

    int32_t init() REQUIRES(simulatorMutex());
    // Counted, but never failed: reports the error of the calling thread's call before.
    int32_t lastError() REQUIRES(simulatorMutex());
    void* login(const OstrelLoginRecord* login, OstrelLoginResult* result)
        REQUIRES(simulatorMutex());
    // Waits for the session's callbacks in flight on other threads before it returns.
    int32_t logout(void* handle) REQUIRES(simulatorMutex());
    int32_t queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
        REQUIRES(simulatorMutex());
    int32_t getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                            int32_t bufferSize, int32_t* bytesReturned) REQUIRES(simulatorMutex());
    int32_t setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
        REQUIRES(simulatorMutex());
    int32_t setStructDataCallback(void* handle, OstrelStructDataCallback callback, void* userData)
        REQUIRES(simulatorMutex());
    int32_t subscribe(void* handle, const OstrelSubscriptionRequest* request,
                      OstrelSubscriptionResult* result) REQUIRES(simulatorMutex());
    int32_t unsubscribe(void* handle, uint32_t id) REQUIRES(simulatorMutex());
    int32_t getLineRules(void* handle, int32_t channel, LineRuleSet* rules)
        REQUIRES(simulatorMutex());
    int32_t setLineRules(void* handle, int32_t channel, const LineRuleSet* rules)
        REQUIRES(simulatorMutex());
    // REQUIRES: `kind` is not kLineCross (likewise for setAreaRules).
    int32_t getAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         AreaRuleSet* rules) REQUIRES(simulatorMutex());
    int32_t setAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         const AreaRuleSet* rules) REQUIRES(simulatorMutex());
    int32_t getSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
        REQUIRES(simulatorMutex());
    int32_t setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches)
        REQUIRES(simulatorMutex());
    int32_t getCombinations(void* handle, int32_t channel, RuleCombinationList* list)
        REQUIRES(simulatorMutex());

    // Subscription ids start again at 1.
    void clear() REQUIRES(simulatorMutex());

private:
    // The camera of an open session, or null with the last error set (also when the call
    // of `operation` is one that the camera is to fail).
    Camera* findCamera(control::Operation operation, void* handle) REQUIRES(simulatorMutex());

    // The open session of `handle`, or null with the last error set (also when its camera
    // is to fail this call of `operation`).
    Session* findSession(control::Operation operation, void* handle) REQUIRES(simulatorMutex());

    // Counts a call of `operation` that reached `camera` (on `session`, null for a login);
    // true, with the last error set, when the camera's failures name this call, when the
    // camera is away, or when the session died in a reboot (unless the call is a logout).
    static bool cameraFails(control::Operation operation, Camera* camera, const Session* session)
        REQUIRES(simulatorMutex());
    // Counts the call and records its channel; the session's channel, or null with the
    // last error set on any failure (`record` is the caller's record, checked for null).
    control::ChannelConfig* enterChannel(control::Operation operation, void* handle,
                                         int32_t channel, const void* record)
        REQUIRES(simulatorMutex());

    CallLog& m_calls;
    SessionTable& m_sessions;
    CameraSet& m_cameras;
    uint32_t m_nextSubscriptionId GUARDED_BY(simulatorMutex()) = 1;
};

}  // namespace ostrel
