// The simulated cameras and sessions behind the Camera SDK stand-in.
//
// One Simulator exists per process (instance()); the OSTREL_ entry points and the control
// functions forward to it. Thread-safety: every operation is thread-safe.
//
// Locking: a single mutex, m_mutex, guards all state (cameras, their delivery queues,
// sessions by handle and by camera, injected failures, recorded calls). Callbacks into the
// plugin are never run with m_mutex held: a deliverer marks the session as having a
// callback in flight on its thread, unlocks, calls, relocks and clears the mark. m_changed
// is signalled whenever a callback or a delivery finishes, so OSTREL_Logout and the wait
// functions can sleep on it. Each camera's delivery thread sleeps on its own condition
// variable (Camera::wake) for new work, also under m_mutex.

#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ostrel_sdk/ostrel_control.h"
#include "camera_sdk/ostrel_sdk.h"

namespace ostrel
{

// One notification: an alarm or a structured batch, with the storage it points into.
struct Delivery
{
    bool isAlarm = true;
    OstrelAlarmRecord alarmRecord{};
    const OstrelAlarmRecord* alarm = nullptr;  // passed to the alarm callbacks
    std::vector<OstrelFaceRecord> faces;
    std::vector<OstrelPersonRecord> persons;
    std::vector<OstrelVehicleRecord> vehicles;
    OstrelStructuredRecord structuredRecord{};
    const OstrelStructuredRecord* structured = nullptr;  // passed to the struct callbacks
};

// An open session of a camera.
struct Session
{
    uintptr_t handleValue = 0;
    control::CameraId camera = 0;
    OstrelAlarmCallback alarmCallback = nullptr;
    void* alarmUserData = nullptr;
    OstrelStructDataCallback structCallback = nullptr;
    void* structUserData = nullptr;
    bool subscribed = false;
    uint32_t subscriptionId = 0;
    bool closing = false;                          // logout has begun
    std::vector<std::thread::id> callbackThreads;  // one entry per callback in flight
};

// A simulated camera with its delivery queue and thread.
struct Camera
{
    control::CameraConfig config;
    std::deque<std::unique_ptr<Delivery>> queue;
    uint64_t queuedTickets = 0;   // tickets handed out so far
    uint64_t handledTickets = 0;  // tickets whose delivery has finished
    bool stopping = false;
    std::condition_variable wake;
    std::thread worker;
};

class Simulator
{
public:
    // The process's simulator. It is never destroyed; its delivery threads are joined at
    // exit, so calls made during static teardown still find valid state.
    static Simulator& instance();

    // ---- SDK operations (see ostrel_sdk.h) ----
    int32_t init();
    int32_t lastError();
    void* login(const OstrelLoginRecord* login, OstrelLoginResult* result);
    int32_t logout(void* handle);
    int32_t queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels);
    int32_t getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                            int32_t bufferSize, int32_t* bytesReturned);
    int32_t setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData);
    int32_t setStructDataCallback(void* handle, OstrelStructDataCallback callback, void* userData);
    int32_t subscribe(void* handle, const OstrelSubscriptionRequest* request,
                      OstrelSubscriptionResult* result);
    int32_t unsubscribe(void* handle, uint32_t id);
    int32_t getLineRules(void* handle, int32_t channel, LineRuleSet* rules);
    int32_t setLineRules(void* handle, int32_t channel, const LineRuleSet* rules);
    int32_t getAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         AreaRuleSet* rules);
    int32_t setAreaRules(control::RuleSetKind kind, void* handle, int32_t channel,
                         const AreaRuleSet* rules);
    int32_t getSwitches(void* handle, int32_t channel, RuleSwitchList* switches);
    int32_t setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches);
    int32_t getCombinations(void* handle, int32_t channel, RuleCombinationList* list);

    // ---- Control (see ostrel_control.h) ----
    void reset();
    control::CameraId addCamera(const control::CameraConfig& config);
    void removeCamera(control::CameraId camera);
    void setChannel(control::CameraId camera, int32_t channel,
                    const control::ChannelConfig& config);
    control::ChannelConfig channelState(control::CameraId camera, int32_t channel);
    void failOperation(control::Operation operation, int count, int32_t error);
    uint64_t enqueue(control::CameraId camera, std::unique_ptr<Delivery> delivery);
    bool waitForDelivery(control::CameraId camera, uint64_t ticket, int timeoutMs);
    bool waitForAllDeliveries(control::CameraId camera, int timeoutMs);
    void deliverNow(control::CameraId camera, const Delivery& delivery);
    int callCount(control::Operation operation);
    OstrelLoginRecord lastLoginRecord();
    OstrelSubscriptionRequest lastSubscriptionRequest();
    uint32_t lastUnsubscribeId();
    int32_t lastChannel();
    control::LineRules lastWrittenLineRules();
    control::AreaRules lastWrittenAreaRules(control::RuleSetKind kind);
    RuleSwitchList lastWrittenSwitches();
    std::vector<control::SessionInfo> liveSessions();

    // Stops and joins every delivery thread; later cameras get none. Called at exit.
    void shutDown();

private:
    struct Failure
    {
        int left = 0;
        int32_t error = 0;
    };

    Simulator() = default;

    // Counts a call of `operation`; false (with the last error set) when it must fail.
    bool enter(control::Operation operation);
    // The open session of `handle`, or null with the last error set.
    Session* findSession(void* handle);
    // The camera of an open session, or null with the last error set.
    Camera* findCamera(void* handle);
    // enter() plus the session's channel; null with the last error set on any failure.
    control::ChannelConfig* enterChannel(control::Operation operation, void* handle,
                                         int32_t channel, const void* record);
    // Takes `session` out of both session tables, unless a newer session holds its place.
    void forgetSession(const std::shared_ptr<Session>& session);
    uintptr_t freeHandleValue() const;
    // Runs the delivery's callbacks for the camera's sessions. REQUIRES: lock holds m_mutex.
    void deliver(control::CameraId camera, const Delivery& delivery,
                 std::unique_lock<std::mutex>& lock);
    void runWorker(std::shared_ptr<Camera> camera, control::CameraId id);
    // Takes the cameras' threads out of them and marks them stopping. REQUIRES: m_mutex held.
    std::vector<std::thread> stopCameras(std::vector<std::shared_ptr<Camera>> cameras);
    control::AreaRules& areaRules(control::ChannelConfig& channel, control::RuleSetKind kind);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_shutDown = false;
    control::CameraId m_nextCamera = 1;
    std::map<control::CameraId, std::shared_ptr<Camera>> m_cameras;
    std::map<uintptr_t, std::shared_ptr<Session>> m_sessions;
    // The same sessions by camera, so that a delivery costs time in the number of sessions
    // of its camera, not of the process. No empty maps.
    std::map<control::CameraId, std::map<uintptr_t, std::shared_ptr<Session>>> m_sessionsByCamera;
    uint32_t m_nextSubscriptionId = 1;
    Failure m_failures[control::kOperationCount];
    int m_calls[control::kOperationCount] = {};
    OstrelLoginRecord m_lastLogin{};
    OstrelSubscriptionRequest m_lastSubscription{};
    uint32_t m_lastUnsubscribeId = 0;
    int32_t m_lastChannel = 0;
    control::LineRules m_writtenLineRules;
    control::AreaRules m_writtenAreaRules[3];  // intrusion, enter area, leave area
    RuleSwitchList m_writtenSwitches{};
};

}  // namespace ostrel
