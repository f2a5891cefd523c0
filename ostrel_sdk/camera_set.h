// The simulated cameras, each with its delivery queue and delivery thread.
//
// CameraSet adds and removes cameras, keeps their configuration, queues notifications for
// a camera's own delivery thread (so that a slow callback of one camera never delays
// another) and lets callers wait until a queued delivery has been handled. The delivery
// threads run the callbacks through the SessionTable.
//
// Thread-safety: all state is guarded by simulatorMutex(). A delivery thread holds it
// except while it runs a callback. Operations that stop cameras hand back the stopped
// threads, for the caller to join once it has released the lock.

#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ostrel_sdk/ostrel_control.h"
#include "ostrel_sdk/session_table.h"
#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

// A simulated camera with its delivery queue and thread.
struct Camera
{
    control::CameraConfig config GUARDED_BY(simulatorMutex());
    std::deque<std::unique_ptr<Delivery>> queue GUARDED_BY(simulatorMutex());
    uint64_t queuedTickets GUARDED_BY(simulatorMutex()) = 0;   // tickets handed out so far
    uint64_t handledTickets GUARDED_BY(simulatorMutex()) = 0;  // deliveries finished
    bool stopping GUARDED_BY(simulatorMutex()) = false;
    bool away GUARDED_BY(simulatorMutex()) = false;  // between takeAway and bringBack
    // The deliveries up to this ticket were queued before or during an outage: dropped.
    uint64_t droppedTickets GUARDED_BY(simulatorMutex()) = 0;
    // Calls of each operation that reached the camera, for config.failures.
    int calls[control::kOperationCount] GUARDED_BY(simulatorMutex()) = {};
    std::condition_variable_any wake;  // the delivery thread sleeps on it for new work
    std::thread worker GUARDED_BY(simulatorMutex());
};

class CameraSet
{
public:
    // REQUIRES: `sessions` outlives the set and its delivery threads.
    explicit CameraSet(SessionTable& sessions) : m_sessions(sessions) {}
    CameraSet(const CameraSet&) = delete;
    CameraSet& operator=(const CameraSet&) = delete;

    // Adds a camera and starts its delivery thread (none after shutDown()).
    control::CameraId add(const control::CameraConfig& config) REQUIRES(simulatorMutex());

    // Removes a camera, dropping its queued deliveries; returns its thread to join.
    std::vector<std::thread> remove(control::CameraId camera) REQUIRES(simulatorMutex());

    // Removes every camera, dropping the queued deliveries; returns the threads to join.
    std::vector<std::thread> clear() REQUIRES(simulatorMutex());

    // Stops every camera's thread for good, dropping the queued deliveries; returns the
    // threads to join. The cameras stay, and cameras added later get no thread.
    std::vector<std::thread> shutDown() REQUIRES(simulatorMutex());

    // The camera, or null.
    Camera* find(control::CameraId camera) REQUIRES(simulatorMutex());

    // The first camera, in ascending id order, at that address and port; null if none.
    Camera* findAt(const std::string& address, int32_t port, control::CameraId* id)
        REQUIRES(simulatorMutex());

    // Replaces (or adds) one channel of a camera, if the camera exists.
    void setChannel(control::CameraId camera, int32_t channel, const control::ChannelConfig& config)
        REQUIRES(simulatorMutex());

    // The channel as the camera holds it now; empty when there is no such channel.
    control::ChannelConfig channelState(control::CameraId camera, int32_t channel)
        REQUIRES(simulatorMutex());

    // Queues a delivery for the camera's thread; its ticket, or 0 when the camera is gone
    // or stopping.
    uint64_t enqueue(control::CameraId camera, std::unique_ptr<Delivery> delivery)
        REQUIRES(simulatorMutex());

    // Takes the camera away: it answers no call and drops its queued and new deliveries.
    void takeAway(control::CameraId camera) REQUIRES(simulatorMutex());

    // Brings the camera back; with `rebooted` its sessions are dead from now on.
    void bringBack(control::CameraId camera, bool rebooted) REQUIRES(simulatorMutex());

    // Whether the camera is away (false when there is no such camera).
    bool isAway(control::CameraId camera) REQUIRES(simulatorMutex());

    // The ticket of the camera's latest delivery (0 before any); false if no such camera.
    bool lastTicket(control::CameraId camera, uint64_t* ticket) REQUIRES(simulatorMutex());

    // Waits (releasing the lock meanwhile) until the delivery `ticket` of the camera has
    // been handled; false on timeout, when the camera is stopped first, when there is no
    // such camera or when `ticket` is 0.
    bool waitForDelivery(control::CameraId camera, uint64_t ticket, int timeoutMs)
        REQUIRES(simulatorMutex());

private:
    // The body of a camera's delivery thread.
    void runWorker(std::shared_ptr<Camera> camera, control::CameraId id) EXCLUDES(simulatorMutex());
    // Stops every camera; returns the threads to join.
    std::vector<std::thread> stopAll() REQUIRES(simulatorMutex());
    // Marks the camera stopping, drops its queue and moves its thread into `threads`.
    void stop(Camera& camera, std::vector<std::thread>* threads) REQUIRES(simulatorMutex());

    SessionTable& m_sessions;
    bool m_shutDown GUARDED_BY(simulatorMutex()) = false;
    control::CameraId m_nextCamera GUARDED_BY(simulatorMutex()) = 1;
    std::map<control::CameraId, std::shared_ptr<Camera>> m_cameras GUARDED_BY(simulatorMutex());
    // Signalled whenever a delivery finishes or cameras stop, for waitForDelivery().
    std::condition_variable_any m_deliveryDone;
};

}  // namespace ostrel
