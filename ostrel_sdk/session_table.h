// The open sessions of the simulated cameras, and the running of their callbacks.
//
// SessionTable hands out session handles (the lowest free one, as the camera maker's SDK
// reuses freed handles), finds sessions by handle, runs a delivery's callbacks for the
// sessions of one camera, and closes sessions once their callbacks in flight are done.
//
// Thread-safety: all state is guarded by simulatorMutex(). Callbacks run without it: the
// running thread marks the session as having a callback in flight on it, unlocks, calls,
// relocks and clears the mark, and close() waits for the marks of other threads to go.

#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/ostrel_control.h"
#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

// One notification: an alarm or a structured batch, with the storage it points into.
// Owned by one thread at a time (whoever queued or took it), so it needs no lock.
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
    Session(uintptr_t handleValue, control::CameraId camera)
        : handleValue(handleValue), camera(camera)
    {
    }

    const uintptr_t handleValue;
    const control::CameraId camera;
    OstrelAlarmCallback alarmCallback GUARDED_BY(simulatorMutex()) = nullptr;
    void* alarmUserData GUARDED_BY(simulatorMutex()) = nullptr;
    OstrelStructDataCallback structCallback GUARDED_BY(simulatorMutex()) = nullptr;
    void* structUserData GUARDED_BY(simulatorMutex()) = nullptr;
    bool subscribed GUARDED_BY(simulatorMutex()) = false;
    uint32_t subscriptionId GUARDED_BY(simulatorMutex()) = 0;
    bool closing GUARDED_BY(simulatorMutex()) = false;  // logout has begun
    bool dead GUARDED_BY(simulatorMutex()) = false;     // its camera rebooted since login
    // One entry per callback in flight.
    std::vector<std::thread::id> callbackThreads GUARDED_BY(simulatorMutex());
};

// The handle under which the SDK knows the session of `handleValue`.
void* handleOf(uintptr_t handleValue);

class SessionTable
{
public:
    SessionTable() = default;
    SessionTable(const SessionTable&) = delete;
    SessionTable& operator=(const SessionTable&) = delete;

    // Opens a session of `camera` under the lowest free handle and returns the session.
    Session& open(control::CameraId camera) REQUIRES(simulatorMutex());

    // The open session of `handle`, or null (with the last error kErrorInvalidHandle) when
    // there is none or its logout has begun.
    Session* find(void* handle) REQUIRES(simulatorMutex());

    // Closes a session: no callback of it starts any more; waits for its callbacks in
    // flight on other threads (releasing the lock meanwhile), then forgets it. A callback
    // of the session that closes it is not waited for.
    // REQUIRES: `session` was returned by find() under the lock held now.
    void close(Session* session) REQUIRES(simulatorMutex());

    // Runs the delivery's callbacks for the camera's subscribed sessions on the calling
    // thread, releasing the lock around each callback.
    void runCallbacks(control::CameraId camera, const Delivery& delivery)
        REQUIRES(simulatorMutex());

    // Marks every session of `camera` dead, as a restart of the camera leaves them: no
    // callback of them starts any more, and SdkOperations fails every call on them but
    // logout.
    void endSessionsOf(control::CameraId camera) REQUIRES(simulatorMutex());

    // The open sessions, in ascending handle order.
    std::vector<control::SessionInfo> live() const REQUIRES(simulatorMutex());

    // Forgets every session. Callbacks in flight still end normally.
    void clear() REQUIRES(simulatorMutex());

private:
    using SessionMap = std::map<uintptr_t, std::shared_ptr<Session>>;

    // The camera's sessions, in ascending handle order.
    std::vector<std::shared_ptr<Session>> sessionsOf(control::CameraId camera) const
        REQUIRES(simulatorMutex());
    // Runs the delivery's callback for one session, if it is still subscribed and open.
    void runCallback(Session& session, const Delivery& delivery) REQUIRES(simulatorMutex());
    // Takes `session` out of both tables, unless a newer session holds its place.
    void forget(const std::shared_ptr<Session>& session) REQUIRES(simulatorMutex());
    uintptr_t freeHandleValue() const REQUIRES(simulatorMutex());

    SessionMap m_sessions GUARDED_BY(simulatorMutex());
    // The same sessions by camera, so that a delivery costs time in the number of sessions
    // of its camera, not of the process. No empty maps.
    std::map<control::CameraId, SessionMap> m_sessionsByCamera GUARDED_BY(simulatorMutex());
    // Signalled whenever a callback finishes, for close() to wait on.
    std::condition_variable_any m_callbackDone;
};

}  // namespace ostrel
