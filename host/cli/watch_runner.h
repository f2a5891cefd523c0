// WatchRunner: acts as the server in real time for the cameras of a watch run. It binds a
// device agent to each camera with one settings delivery, optionally shows (and draws) the
// cameras' smart rules and writes a second delivery, pushes empty compressed video frames
// at the chosen rate with the wall clock's timestamps (none to a simulated camera that is
// away: its stream is down), and reports every event and object as it arrives, with the
// plugin's error lines and the lines of its repairs beside the camera they concern, and the
// alarms of simulated cameras that the plugin does not know, until the run's time is up,
// a replay has played or the user interrupts it.
//
// Thread-safety: run() and the summary are called on one thread; addDiagnosticLine() and
// addCameraAlarm() may be called from any thread (the diagnostics reader, the simulation).

#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/cli/camera_conditions.h"
#include "host/cli/command_line.h"
#include "host/cli/plugin_session.h"
#include "host/cli/report.h"
#include "host/cli/settings_model.h"
#include "host/cli/simulation.h"
#include "host/device_info.h"
#include "host/plugin_library.h"

namespace korvane::host::cli
{

// A camera to bind: what the server knows of it, and the name the report gives it.
struct WatchTarget
{
    std::string name;
    DeviceDescription device;
};

// What the watch run sends beside the settings defaults.
struct WatchSettings
{
    Settings first;  //< Laid over the defaults in the first delivery.
    Settings apply;  //< The second delivery's values; empty without --apply.
    bool hasApply = false;
};

class WatchRunner
{
public:
    WatchRunner(const Options& options, WatchSettings settings, Report* report);
    ~WatchRunner();

    // Binds every target and watches until the time is up, `simulation` (null for real
    // cameras) has played out or the user interrupts; then releases the agents, the engine
    // and the plugin. False when a step failed.
    bool run(const PluginLibrary& library, const std::vector<WatchTarget>& targets,
             const Simulation* simulation);

    // Takes one line the plugin printed; its error lines and the lines of its repairs are
    // reported beside their camera.
    void addDiagnosticLine(const std::string& line);

    // `drain` waits until the lines the plugin printed so far have been taken; the rules
    // are shown only after it, so that they know which sessions did not open.
    void setLineDrain(std::function<void()> drain) { m_drainLines = std::move(drain); }

    // Takes an alarm that the simulated camera at `address`:`port` raised; one the plugin
    // does not know is reported beside the cameras watched at that address.
    void addCameraAlarm(const std::string& address, int32_t port, int32_t code,
                        int64_t timeSeconds);

    // Reports the lines taken so far, then one summary line per camera; false when a camera
    // ends unable to deliver (its session not open, its alarm callback not installed, its
    // smart-rule capabilities not read).
    bool reportSummary();

private:
    struct Camera;

    bool bindAll(PluginSession* session, const std::vector<WatchTarget>& targets);
    bool showRules(PluginSession* session);
    bool applySettings(PluginSession* session);
    void watch(PluginSession* session, const Simulation* simulation);
    void pushFrames(const Simulation* simulation);
    void reportDiagnostics();

    // Milliseconds since the run began.
    int64_t elapsedMs() const;

    const Options m_options;
    const WatchSettings m_settings;
    Report* const m_report;
    const std::chrono::steady_clock::time_point m_start;
    std::vector<std::unique_ptr<Camera>> m_cameras;

    std::unique_ptr<CameraConditions> m_conditions;  //< Made by run().

    struct CameraAlarm
    {
        std::string address;
        int32_t port = 0;
        int32_t code = 0;
        int64_t timeSeconds = 0;
    };

    std::mutex m_linesMutex;
    std::deque<std::string> m_lines;  //< Guarded by m_linesMutex.
    std::function<void()> m_drainLines;
    std::deque<CameraAlarm> m_alarms;  //< Guarded by m_linesMutex.
};

}  // namespace korvane::host::cli
