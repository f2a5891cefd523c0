#include "scenario_runner.h"

#include <nx/sdk/analytics/i_consuming_device_agent.h>

#include "host/cli/camera_records.h"
#include "host/data_packets.h"
#include "host/device_info.h"

namespace korvane::host::cli
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using nx::kit::Json;

struct ScenarioRunner::Camera
{
    CameraSpec spec;
    ostrel::control::CameraId id = 0;
    BoundAgent bound;
};

namespace
{

// How long a step waits for a camera's deliveries to be handled.
constexpr int kDeliveryTimeoutMs = 10000;

int32_t code(const Json& object, const char* key)
{
    return static_cast<int32_t>(object[key].numberValue());
}

}  // namespace

ScenarioRunner::ScenarioRunner(const PluginLibrary& library,
                               const ostrel::control::ControlTable& control, Report* report)
    : m_control(control), m_report(report), m_session(library, report)
{
}

ScenarioRunner::~ScenarioRunner()
{
    stop();
}

bool ScenarioRunner::run(const Scenario& scenario)
{
    if (!m_session.start())
        return false;
    addCameras(scenario);
    for (const Step& step : scenario.steps)
    {
        if (!runStep(step))
            ++m_failedSteps;
        reportDeliveries(step.atMs);
    }
    stop();
    return m_failedSteps == 0;
}

void ScenarioRunner::stop()
{
    for (Camera* camera : m_cameraOrder)
        PluginSession::release(&camera->bound);
    m_session.stop();
}

void ScenarioRunner::addCameras(const Scenario& scenario)
{
    for (const CameraSpec& spec : scenario.cameras)
    {
        auto camera = std::make_unique<Camera>();
        camera->spec = spec;
        camera->bound.camera = spec.name;
        camera->id = m_control.addCamera(cameraConfigOf(spec));
        m_cameraOrder.push_back(camera.get());
        m_cameras[spec.name] = std::move(camera);
    }
}

bool ScenarioRunner::runStep(const Step& step)
{
    using Action = bool (ScenarioRunner::*)(const Step&, Camera*);
    static const std::map<std::string, Action> kActions = {
        {"connect", &ScenarioRunner::connect},
        {"settings", &ScenarioRunner::sendSettings},
        {"alarm", &ScenarioRunner::raiseAlarm},
        {"objects", &ScenarioRunner::deliverObjects},
        {"frames", &ScenarioRunner::pushFrames},
        {"readSettings", &ScenarioRunner::readSettings},
        {"disconnect", &ScenarioRunner::disconnect},
    };
    const auto action = kActions.find(step.action);
    if (action == kActions.end())
        return fail(step, "unknown step \"" + step.action + "\"");
    Camera* const camera = m_cameras.at(step.camera).get();
    if (step.action != "connect" && !camera->bound.agent)
        return fail(step, "the camera is not connected");
    return (this->*action->second)(step, camera);
}

bool ScenarioRunner::fail(const Step& step, const std::string& message)
{
    m_report->add(step.atMs, step.camera, "error", {{"step", step.action}, {"message", message}},
                  "ERROR in " + step.action + ": " + message);
    return false;
}

bool ScenarioRunner::connect(const Step& step, Camera* camera)
{
    if (camera->bound.agent)
        return fail(step, "already connected");
    DeviceDescription description;
    description.id = camera->spec.deviceId;
    description.name = camera->spec.name;
    description.url = camera->spec.deviceUrl;
    description.login = camera->spec.deviceLogin;
    description.password = camera->spec.devicePassword;
    description.channelNumber = camera->spec.deviceChannel;
    std::string errorText;
    if (!m_session.bind(step.atMs, description, &camera->bound, &errorText))
        return fail(step, errorText);
    return true;
}

bool ScenarioRunner::sendSettings(const Step& step, Camera* camera)
{
    std::string errorText;
    if (!m_session.sendSettings(step.atMs, camera->bound, settingsOf(step.arguments["values"]),
                                &errorText))
        return fail(step, errorText);
    return true;
}

bool ScenarioRunner::raiseAlarm(const Step& step, Camera* camera)
{
    const int32_t alarmCode = code(step.arguments, "code");
    const auto time = static_cast<int64_t>(step.arguments["time"].numberValue());
    const int before = camera->bound.handler->recordCount();
    m_control.raiseAlarm(camera->id, alarmCode, time);
    if (!m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs))
        return fail(step, "the alarm was not delivered in time");
    m_report->add(step.atMs, step.camera, "alarm",
                  {{"code", static_cast<double>(alarmCode)}, {"time", static_cast<double>(time)}},
                  "camera alarm " + std::to_string(alarmCode) + " at " + std::to_string(time) +
                      " s" +
                      (camera->bound.handler->recordCount() == before ? " -> no event" : ""));
    return true;
}

bool ScenarioRunner::deliverObjects(const Step& step, Camera* camera)
{
    const ostrel::control::StructuredBatch batch = batchOf(step.arguments);
    m_control.deliverStructured(camera->id, batch);
    if (!m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs))
        return fail(step, "the detection records were not delivered in time");
    m_report->add(step.atMs, step.camera, "detections",
                  {{"faces", static_cast<double>(batch.faces.size())},
                   {"persons", static_cast<double>(batch.persons.size())},
                   {"vehicles", static_cast<double>(batch.vehicles.size())}},
                  "camera detections: " + std::to_string(batch.faces.size()) + " face(s), " +
                      std::to_string(batch.persons.size()) + " person(s), " +
                      std::to_string(batch.vehicles.size()) + " vehicle(s)");
    return true;
}

bool ScenarioRunner::pushFrames(const Step& step, Camera* camera)
{
    const Json& args = step.arguments;
    const int64_t count =
        args["count"].isNumber() ? static_cast<int64_t>(args["count"].numberValue()) : 1;
    const int64_t first = args["timestampUs"].isNumber()
                              ? static_cast<int64_t>(args["timestampUs"].numberValue())
                              : step.atMs * 1000;
    const int64_t stepUs =
        args["stepUs"].isNumber() ? static_cast<int64_t>(args["stepUs"].numberValue()) : 33333;
    for (int64_t i = 0; i < count; ++i)
    {
        Result<void> result;
        camera->bound.agent->doPushDataPacket(
            &result, makePtr<CompressedVideoPacket>(first + i * stepUs).get());
        if (!result.isOk())
            return fail(step, "video frame refused: " + errorText(&result.error));
    }
    m_report->add(step.atMs, step.camera, "frames", {{"count", static_cast<double>(count)}},
                  "video: " + std::to_string(count) + " frame(s) pushed");
    return true;
}

bool ScenarioRunner::readSettings(const Step& step, Camera* camera)
{
    std::string errorText;
    if (!m_session.readSettings(step.atMs, camera->bound, nullptr, &errorText))
        return fail(step, errorText);
    return true;
}

bool ScenarioRunner::disconnect(const Step& step, Camera* camera)
{
    // The handler stays, so that what the agent delivered before is still reported.
    camera->bound.agent->finalize();
    camera->bound.agent.reset();
    m_report->add(step.atMs, step.camera, "disconnected", {}, "disconnected");
    return true;
}

void ScenarioRunner::reportDeliveries(int64_t atMs)
{
    for (Camera* camera : m_cameraOrder)
        m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs);
    for (Camera* camera : m_cameraOrder)
        m_session.reportDeliveries(atMs, &camera->bound);
}

}  // namespace korvane::host::cli
