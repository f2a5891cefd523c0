// The simulated cameras and sessions behind the Camera SDK stand-in.
//
// One Simulator exists per process (instance()); the OSTREL_ entry points and the control
// functions forward to it. It owns the units that do the work (CallLog, SessionTable,
// CameraSet, SdkOperations) and runs each operation under their one lock,
// simulatorMutex().
//
// Thread-safety: every operation is thread-safe and takes the lock itself, so none may be
// called with it held. Callbacks into the plugin never run with it held (SessionTable
// releases it around each), so they may call the SDK operations. Operations that stop
// delivery threads join them after releasing the lock.

#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/call_log.h"
#include "ostrel_sdk/camera_set.h"
#include "ostrel_sdk/ostrel_control.h"
#include "ostrel_sdk/sdk_operations.h"
#include "ostrel_sdk/session_table.h"
#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

class Simulator
{
public:
    // The process's simulator. It is never destroyed; its delivery threads are joined at
    // exit, so calls made during static teardown still find valid state.
    static Simulator& instance();

    // ---- SDK operations (see ostrel_sdk.h and SdkOperations) ----
    int32_t init() EXCLUDES(simulatorMutex());
    int32_t lastError() EXCLUDES(simulatorMutex());
    void* login(const OstrelLoginRecord* login, OstrelLoginResult* result)
        EXCLUDES(simulatorMutex());
    int32_t logout(void* handle) EXCLUDES(simulatorMutex());
    int32_t queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
        EXCLUDES(simulatorMutex());
    int32_t getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                            int32_t bufferSize, int32_t* bytesReturned) EXCLUDES(simulatorMutex());
    int32_t setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
        EXCLUDES(simulatorMutex());
    int32_t setStructDataCallback(void* handle, OstrelStructDataCallback callback, void* userData)
        EXCLUDES(simulatorMutex());
    int32_t subscribe(void* handle, const OstrelSubscriptionRequest* request,
                      OstrelSubscriptionResult* result) EXCLUDES(simulatorMutex());
    int32_t unsubscribe(void* handle, uint32_t id) EXCLUDES(simulatorMutex());
    int32_t getLineRules(void* handle, int32_t channel, LineRuleSet* rules)
        EXCLUDES(simulatorMutex());
    int32_t setLineRules(void* handle, int32_t channel, const LineRuleSet* rules)
        EXCLUDES(simulatorMutex());
    int32_t getAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         AreaRuleSet* rules) EXCLUDES(simulatorMutex());
    int32_t setAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         const AreaRuleSet* rules) EXCLUDES(simulatorMutex());
    int32_t getSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
        EXCLUDES(simulatorMutex());
    int32_t setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches)
        EXCLUDES(simulatorMutex());
    int32_t getCombinations(void* handle, int32_t channel, RuleCombinationList* list)
        EXCLUDES(simulatorMutex());

    // ---- Control (see ostrel_control.h) ----
    void reset() EXCLUDES(simulatorMutex());
    control::CameraId addCamera(const control::CameraConfig& config) EXCLUDES(simulatorMutex());
    void removeCamera(control::CameraId camera) EXCLUDES(simulatorMutex());
    void setChannel(control::CameraId camera, int32_t channel, const control::ChannelConfig& config)
        EXCLUDES(simulatorMutex());
    control::ChannelConfig channelState(control::CameraId camera, int32_t channel)
        EXCLUDES(simulatorMutex());
    void failOperation(control::Operation operation, int count, int32_t error)
        EXCLUDES(simulatorMutex());
    void takeAway(control::CameraId camera) EXCLUDES(simulatorMutex());
    void bringBack(control::CameraId camera, bool rebooted) EXCLUDES(simulatorMutex());
    uint64_t enqueue(control::CameraId camera, std::unique_ptr<Delivery> delivery)
        EXCLUDES(simulatorMutex());
    bool waitForDelivery(control::CameraId camera, uint64_t ticket, int timeoutMs)
        EXCLUDES(simulatorMutex());
    bool waitForAllDeliveries(control::CameraId camera, int timeoutMs) EXCLUDES(simulatorMutex());
    void deliverNow(control::CameraId camera, const Delivery& delivery) EXCLUDES(simulatorMutex());
    int callCount(control::Operation operation) EXCLUDES(simulatorMutex());
    OstrelLoginRecord lastLoginRecord() EXCLUDES(simulatorMutex());
    OstrelSubscriptionRequest lastSubscriptionRequest() EXCLUDES(simulatorMutex());
    uint32_t lastUnsubscribeId() EXCLUDES(simulatorMutex());
    int32_t lastChannel() EXCLUDES(simulatorMutex());
    control::LineRules lastWrittenLineRules() EXCLUDES(simulatorMutex());
    control::AreaRules lastWrittenAreaRules(control::RuleSetKind kind) EXCLUDES(simulatorMutex());
    RuleSwitchList lastWrittenSwitches() EXCLUDES(simulatorMutex());
    std::vector<control::SessionInfo> liveSessions() EXCLUDES(simulatorMutex());

    // Stops and joins every delivery thread; later cameras get none. Called at exit.
    void shutDown() EXCLUDES(simulatorMutex());

private:
    Simulator() = default;

    // Each unit's state is guarded by simulatorMutex() field by field.
    CallLog m_calls;
    SessionTable m_sessions;
    CameraSet m_cameras{m_sessions};
    SdkOperations m_sdk{m_calls, m_sessions, m_cameras};
};

}  // namespace ostrel
