#include "simulation.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "host/cli/camera_records.h"

namespace korvane::host::cli
{

using nx::kit::Json;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace
{

bool activityOf(const Json& json, const std::vector<CameraSpec>& cameras, Activity* activity,
                std::string* errorText)
{
    activity->camera = json["camera"].stringValue();
    bool known = false;
    for (const CameraSpec& camera : cameras)
        known = known || camera.name == activity->camera;
    if (!known)
    {
        *errorText = "An activity names an unknown camera \"" + activity->camera + "\"";
        return false;
    }
    const double everyMs = json["everyMs"].numberValue();
    if (!(everyMs >= 1 && everyMs <= 86400000))
    {
        *errorText = "The activity of \"" + activity->camera + "\" needs \"everyMs\" of 1 or more";
        return false;
    }
    activity->everyMs = static_cast<int64_t>(everyMs);
    if (json["alarm"].isNumber())
        activity->alarms.push_back(static_cast<int32_t>(json["alarm"].numberValue()));
    for (const Json& code : json["alarms"].arrayItems())
        activity->alarms.push_back(static_cast<int32_t>(code.numberValue()));
    if (activity->alarms.empty() == !json["objects"].isObject())
    {
        *errorText = "The activity of \"" + activity->camera +
                     "\" needs either \"alarm\", \"alarms\" or \"objects\"";
        return false;
    }
    activity->objects = batchOf(json["objects"]);
    return true;
}

}  // namespace

bool parseSimulation(const std::string& text, SimulationSpec* simulation, std::string* errorText)
{
    Json json;
    if (!parseJsonObject(text, "simulation", &json, errorText))
        return false;
    *simulation = SimulationSpec();
    if (!parseCameras(json["cameras"], &simulation->cameras, errorText))
        return false;
    for (const Json& entry : json["activity"].arrayItems())
    {
        Activity activity;
        if (!activityOf(entry, simulation->cameras, &activity, errorText))
            return false;
        simulation->activity.push_back(std::move(activity));
    }
    return true;
}

Simulation::Simulation(const ostrel::control::ControlTable& control, SimulationSpec spec)
    : m_control(control), m_spec(std::move(spec))
{
    for (const CameraSpec& camera : m_spec.cameras)
        m_cameraIds.push_back(m_control.addCamera(cameraConfigOf(camera)));
}

Simulation::~Simulation()
{
    stop();
}

void Simulation::start()
{
    m_thread = std::thread([this] { run(); });
}

void Simulation::stop()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Simulation::run()
{
    const Clock::time_point start = Clock::now();
    std::vector<int64_t> rounds(m_spec.activity.size(), 0);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping)
    {
        Clock::time_point next = start + std::chrono::hours(24);
        for (size_t i = 0; i < m_spec.activity.size(); ++i)
        {
            const Activity& activity = m_spec.activity[i];
            const auto due = [&] { return start + activity.everyMs * (rounds[i] + 1) * 1ms; };
            if (due() <= Clock::now())
                deliver(activity, rounds[i]++);
            next = std::min(next, due());
        }
        m_wake.wait_until(lock, next, [this] { return m_stopping; });
    }
}

void Simulation::deliver(const Activity& activity, int64_t round)
{
    ostrel::control::CameraId camera = 0;
    for (size_t c = 0; c < m_spec.cameras.size(); ++c)
    {
        if (m_spec.cameras[c].name == activity.camera)
            camera = m_cameraIds[c];
    }
    if (activity.alarms.empty())
    {
        m_control.deliverStructured(camera, activity.objects);
        return;
    }
    const int32_t code = activity.alarms[static_cast<size_t>(round) % activity.alarms.size()];
    m_control.raiseAlarm(camera, code, static_cast<int64_t>(std::time(nullptr)));
}

}  // namespace korvane::host::cli
