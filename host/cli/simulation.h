// Simulation: the Camera SDK stand-in's cameras put into the process for a watch run, each
// delivering alarms and detections by itself in real time, as a real camera does.
//
// A simulation file is a JSON text:
//   {"cameras": [...camera objects as in a scenario (camera_records.h)...],
//    "activity": [{"camera": "lobby", "everyMs": 1000, "alarm": 1},
//                 {"camera": "lobby", "everyMs": 1500, "alarms": [1, 2]},
//                 {"camera": "yard", "everyMs": 700,
//                  "objects": {"faces": [{"gender": 1}], "vehicles": [{"vehicleType": 9}]}}]}
// An entry raises its alarm code (or the next code of "alarms", in turn) stamped with the
// wall clock in seconds, or delivers its detections, once per period. A timed entry has
// "atMs" in place of "everyMs": it delivers once, that long after the start, its alarm
// stamped with "time" (camera seconds) when it has one:
//    {"camera": "lobby", "atMs": 1250, "alarm": 1, "time": 1765000000}
//    {"camera": "lobby", "atMs": 1300, "objects": {"faces": [{"gender": 1}]}}
// An outage is a timed entry too: the camera is away for "awayMs" (it answers no call and
// delivers nothing, and its video stream is down), then comes back restarted ("reboot":
// true: its sessions are dead) or as after a network cut ("reboot": false, the default):
//    {"camera": "yard", "atMs": 3000, "awayMs": 12000, "reboot": true}
// "lengthMs" (optional, beside "cameras") is how long the timed entries last, for a run that
// starts them again at the end. A run may go `speed` times faster than the file says. The
// file is read strictly: an unknown member or a bad value refuses it, with its path.
//
// Thread-safety: a Simulation is started and stopped by one thread; its own thread queues
// the deliveries, which the stand-in hands to the plugin on each camera's delivery thread.
// streamDown() and playedOut() may be called from any thread; the alarm observer runs on the
// simulation's thread.

#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ostrel_sdk/ostrel_control.h"

#include "host/cli/scenario.h"

namespace korvane::host::cli
{

// One periodic or timed delivery of a simulated camera, or one edge of an outage.
struct Activity
{
    enum class Kind
    {
        kAlarm,
        kObjects,
        kTakeAway,   //< An outage begins.
        kBringBack,  //< An outage ends.
    };

    std::string camera;
    Kind kind = Kind::kAlarm;
    int64_t everyMs = 1000;
    int64_t atMs = -1;            //< 0 or more: a timed entry, delivered once.
    std::vector<int32_t> alarms;  //< Taken in turn.
    bool hasAlarmTime = false;    //< Else alarms carry the wall clock.
    int64_t alarmTimeSeconds = 0;
    ostrel::control::StructuredBatch objects;
    bool reboot = false;  //< kBringBack: the camera restarted while it was away.
};

struct SimulationSpec
{
    std::vector<CameraSpec> cameras;
    std::vector<Activity> activity;  //< The periodic entries, then the timed ones by atMs.
    int64_t lengthMs = 0;            //< How long the timed entries last: at least the last atMs.
    int speed = 1;                   //< How many times faster than the file says.
    bool loop = false;               //< The timed entries start again after lengthMs.
    bool endsWhenPlayed = false;     //< The run ends once the timed entries have played.
};

// Reads a simulation file's text; false with `*errorText` set when it is not valid.
bool parseSimulation(const std::string& text, SimulationSpec* simulation, std::string* errorText);

// Reads a simulation from its JSON; false with `*errorText` set when it is not valid.
bool simulationOf(const nx::kit::Json& json, SimulationSpec* simulation, std::string* errorText);

class Simulation
{
    using Clock = std::chrono::steady_clock;

public:
    // Told of every alarm a camera raises while it is not away.
    using AlarmObserver =
        std::function<void(const CameraSpec& camera, int32_t code, int64_t timeSeconds)>;

    // Adds the cameras to the stand-in that `control` drives.
    Simulation(const ostrel::control::ControlTable& control, SimulationSpec spec,
               AlarmObserver onAlarm = nullptr);

    // Stops the activity.
    ~Simulation();

    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // The simulated cameras.
    const std::vector<CameraSpec>& cameras() const { return m_spec.cameras; }

    // Starts delivering the activity on a thread of its own.
    void start();

    // Stops delivering; deliveries already queued may still reach the plugin.
    void stop();

    // Whether a camera at `address`:`port` is away now, so that its video stream is down.
    bool streamDown(const std::string& address, int32_t port) const;

    // Whether a run that ends when its timed entries have played is over: they have, and
    // the file's length and a few frames' time have passed (never for a looping run).
    bool playedOut() const;

private:
    void run();

    // The time `activity` is due for the `round`th time (counting from 0).
    Clock::time_point dueTime(const Activity& activity, int64_t round) const;

    // Delivers `activity` for the `round`th time (an alarm, detections, an outage's edge).
    void deliver(const Activity& activity, int64_t round);

    const ostrel::control::ControlTable& m_control;
    const SimulationSpec m_spec;
    const AlarmObserver m_onAlarm;
    std::vector<ostrel::control::CameraId> m_cameraIds;  //< In the order of m_spec.cameras.
    Clock::time_point m_start;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;     //< Guarded by m_mutex.
    std::set<size_t> m_away;     //< The cameras away now, by index; guarded by m_mutex.
    bool m_timedPlayed = false;  //< Every timed entry was delivered; guarded by m_mutex.
    std::thread m_thread;
};

}  // namespace korvane::host::cli
