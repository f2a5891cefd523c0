// ScenarioRunner: plays a scenario against the plugin library, as the server would, with
// the Camera SDK stand-in playing the cameras, and reports what the server receives.
//
// Steps ("do"):
//   "connect"       obtains the camera's device agent and installs a handler
//   "settings"      sends "values" (an object of texts) as the agent's settings
//   "alarm"         the camera raises alarm "code" at camera time "time" (seconds)
//   "objects"       the camera delivers a batch of "faces", "persons", "vehicles", each a
//                   list of objects with the record's code fields ("gender", "age", ...,
//                   "vehicleType", "speed", "plateNumber", ...)
//   "frames"        pushes "count" compressed frames (default 1), the first stamped
//                   "timestampUs" (default atMs * 1000), "stepUs" apart (default 33333)
//   "readSettings"  asks the agent for its plugin-side settings
//   "disconnect"    finalizes and releases the agent
// After each step the runner waits until the cameras' deliveries have been handled, then
// reports every packet the agents produced. It follows each connected camera in a
// CameraConditions, which the plugin's lines about the camera update. Not thread-safe; one
// run at a time.

#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ostrel_sdk/ostrel_control.h"

#include "host/cli/camera_conditions.h"
#include "host/cli/plugin_session.h"
#include "host/cli/report.h"
#include "host/cli/scenario.h"
#include "host/plugin_library.h"

namespace korvane::host::cli
{

class ScenarioRunner
{
public:
    // Plays against `library`, whose Camera SDK is the stand-in that `control` drives, and
    // follows the cameras from their connection to their disconnection in `conditions`.
    ScenarioRunner(const PluginLibrary& library, const ostrel::control::ControlTable& control,
                   Report* report, CameraConditions* conditions);
    ~ScenarioRunner();

    // Runs every step; false when the plugin could not be started or a step failed.
    bool run(const Scenario& scenario);

    // The number of steps that failed.
    int failedSteps() const { return m_failedSteps; }

private:
    struct Camera;

    void stop();
    void addCameras(const Scenario& scenario);
    bool runStep(const Step& step);

    // Run one step of each kind on its camera; false when the step failed.
    bool run(const Step& step, const ConnectStep& connect, Camera* camera);
    bool run(const Step& step, const SettingsStep& settings, Camera* camera);
    bool run(const Step& step, const AlarmStep& alarm, Camera* camera);
    bool run(const Step& step, const ObjectsStep& objects, Camera* camera);
    bool run(const Step& step, const FramesStep& frames, Camera* camera);
    bool run(const Step& step, const ReadSettingsStep& readSettings, Camera* camera);
    bool run(const Step& step, const DisconnectStep& disconnect, Camera* camera);
    bool run(const Step& step, const UnknownStep& unknown, Camera* camera);

    // Waits for the cameras, then reports the packets and manifests the agents received.
    void reportDeliveries(int64_t atMs);

    // Reports a failed step.
    bool fail(const Step& step, const std::string& message);

    const ostrel::control::ControlTable& m_control;
    Report* const m_report;
    CameraConditions* const m_conditions;
    PluginSession m_session;
    std::map<std::string, std::unique_ptr<Camera>> m_cameras;
    std::vector<Camera*> m_cameraOrder;
    int m_failedSteps = 0;
};

}  // namespace korvane::host::cli
