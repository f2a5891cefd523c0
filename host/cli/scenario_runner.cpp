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

}  // namespace

ScenarioRunner::ScenarioRunner(const PluginLibrary& library,
                               const ostrel::control::ControlTable& control, Report* report,
                               CameraConditions* conditions)
    : m_control(control), m_report(report), m_conditions(conditions), m_session(library, report)
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
    if (std::holds_alternative<UnknownStep>(step.what))
        return fail(step, "unknown step \"" + step.action + "\"");
    Camera* const camera = m_cameras.at(step.camera).get();
    if (!std::holds_alternative<ConnectStep>(step.what) && !camera->bound.agent)
        return fail(step, "the camera is not connected");
    return std::visit([&](const auto& what) { return run(step, what, camera); }, step.what);
}

bool ScenarioRunner::fail(const Step& step, const std::string& message)
{
    m_report->add(step.atMs, step.camera, stepErrorEntry(step.action, message));
    return false;
}

bool ScenarioRunner::run(const Step& step, const ConnectStep&, Camera* camera)
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
    m_conditions->addCamera(camera->spec.name, description.id);
    if (m_session.bind(step.atMs, description, &camera->bound, &errorText))
        return true;
    m_conditions->removeCamera(camera->spec.name);
    return fail(step, errorText);
}

bool ScenarioRunner::run(const Step& step, const SettingsStep& settings, Camera* camera)
{
    std::string errorText;
    if (!m_session.sendSettings(step.atMs, camera->bound, settings.values, &errorText))
        return fail(step, errorText);
    return true;
}

bool ScenarioRunner::run(const Step& step, const AlarmStep& alarm, Camera* camera)
{
    const int before = camera->bound.handler->recordCount();
    m_control.raiseAlarm(camera->id, alarm.code, alarm.timeSeconds);
    if (!m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs))
        return fail(step, "the alarm was not delivered in time");
    const bool producedEvent = camera->bound.handler->recordCount() != before;
    m_report->add(step.atMs, step.camera, alarmEntry(alarm.code, alarm.timeSeconds, producedEvent));
    return true;
}

bool ScenarioRunner::run(const Step& step, const ObjectsStep& objects, Camera* camera)
{
    const ostrel::control::StructuredBatch& batch = objects.batch;
    m_control.deliverStructured(camera->id, batch);
    if (!m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs))
        return fail(step, "the detection records were not delivered in time");
    m_report->add(step.atMs, step.camera,
                  detectionsEntry(batch.faces.size(), batch.persons.size(), batch.vehicles.size()));
    return true;
}

bool ScenarioRunner::run(const Step& step, const FramesStep& frames, Camera* camera)
{
    for (int64_t i = 0; i < frames.count; ++i)
    {
        const int64_t timestampUs = frames.firstTimestampUs + i * frames.stepUs;
        Result<void> result;
        camera->bound.agent->doPushDataPacket(&result,
                                              makePtr<CompressedVideoPacket>(timestampUs).get());
        if (!result.isOk())
            return fail(step, "video frame refused: " + errorText(&result.error));
    }
    m_report->add(step.atMs, step.camera, framesEntry(frames.count));
    return true;
}

bool ScenarioRunner::run(const Step& step, const ReadSettingsStep&, Camera* camera)
{
    std::string errorText;
    if (!m_session.readSettings(step.atMs, camera->bound, nullptr, &errorText))
        return fail(step, errorText);
    return true;
}

bool ScenarioRunner::run(const Step& step, const DisconnectStep&, Camera* camera)
{
    // The handler stays, so that what the agent delivered before is still reported.
    camera->bound.agent->finalize();
    camera->bound.agent.reset();
    m_conditions->removeCamera(camera->spec.name);
    m_report->add(step.atMs, step.camera, disconnectedEntry());
    return true;
}

bool ScenarioRunner::run(const Step& step, const UnknownStep&, Camera* /*camera*/)
{
    return fail(step, "unknown step \"" + step.action + "\"");
}

void ScenarioRunner::reportDeliveries(int64_t atMs)
{
    for (Camera* camera : m_cameraOrder)
        m_control.waitForAllDeliveries(camera->id, kDeliveryTimeoutMs);
    for (Camera* camera : m_cameraOrder)
        m_session.reportDeliveries(atMs, &camera->bound);
}

}  // namespace korvane::host::cli
