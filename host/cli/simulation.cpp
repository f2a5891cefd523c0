#include "simulation.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "host/cli/camera_records.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

// The shortest time before the timed entries start again, so that a short file cannot make
// a looping run spin.
constexpr int64_t kShortestLoopMs = 100;

// Reads "everyMs" or "atMs"; false with `*errorText` set when the entry has neither.
bool timingOf(const Json& json, Activity* activity, std::string* errorText)
{
    if (json["atMs"].isNumber())
    {
        const double atMs = json["atMs"].numberValue();
        activity->atMs = static_cast<int64_t>(atMs);
        if (atMs >= 0 && atMs <= 31536000000.0)
            return true;
    }
    const double everyMs = json["everyMs"].numberValue();
    if (!json["atMs"].isNumber() && everyMs >= 1 && everyMs <= 86400000)
    {
        activity->everyMs = static_cast<int64_t>(everyMs);
        return true;
    }
    *errorText = "The activity of \"" + activity->camera +
                 "\" needs \"everyMs\" of 1 or more, or \"atMs\" of 0 or more";
    return false;
}

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
    if (!timingOf(json, activity, errorText))
        return false;
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
    activity->hasAlarmTime = json["time"].isNumber();
    activity->alarmTimeSeconds = static_cast<int64_t>(json["time"].numberValue());
    activity->objects = batchOf(json["objects"]);
    return true;
}

}  // namespace

bool parseSimulation(const std::string& text, SimulationSpec* simulation, std::string* errorText)
{
    Json json;
    return parseJsonObject(text, "simulation", &json, errorText) &&
           simulationOf(json, simulation, errorText);
}

bool simulationOf(const Json& json, SimulationSpec* simulation, std::string* errorText)
{
    *simulation = SimulationSpec();
    if (!parseCameras(json["cameras"], &simulation->cameras, errorText))
        return false;
    for (const Json& entry : json["activity"].arrayItems())
    {
        Activity activity;
        if (!activityOf(entry, simulation->cameras, &activity, errorText))
            return false;
        simulation->lengthMs = std::max(simulation->lengthMs, activity.atMs);
        simulation->activity.push_back(std::move(activity));
    }
    std::stable_sort(simulation->activity.begin(), simulation->activity.end(),
                     [](const Activity& a, const Activity& b) { return a.atMs < b.atMs; });
    simulation->lengthMs =
        std::max(simulation->lengthMs, static_cast<int64_t>(json["lengthMs"].numberValue()));
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
    m_start = Clock::now();
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

Simulation::Clock::time_point Simulation::dueTime(const Activity& activity, int64_t round) const
{
    const int64_t loopMs = std::max(m_spec.lengthMs, kShortestLoopMs);
    const int64_t ms =
        activity.atMs < 0 ? activity.everyMs * (round + 1) : round * loopMs + activity.atMs;
    return m_start + std::chrono::microseconds(ms * 1000 / std::max(m_spec.speed, 1));
}

void Simulation::run()
{
    const std::vector<Activity>& activity = m_spec.activity;
    size_t nextTimed = 0;  //< The timed entries follow the periodic ones.
    while (nextTimed < activity.size() && activity[nextTimed].atMs < 0)
        ++nextTimed;
    const size_t firstTimed = nextTimed;
    std::vector<int64_t> rounds(firstTimed, 0);
    int64_t loops = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping)
    {
        const Clock::time_point now = Clock::now();
        Clock::time_point next = now + std::chrono::hours(24);
        for (size_t i = 0; i < firstTimed; ++i)
        {
            if (dueTime(activity[i], rounds[i]) <= now)
                deliver(activity[i], rounds[i]++);
            next = std::min(next, dueTime(activity[i], rounds[i]));
        }
        while (nextTimed < activity.size() && dueTime(activity[nextTimed], loops) <= now)
        {
            deliver(activity[nextTimed], 0);
            if (++nextTimed == activity.size() && m_spec.loop)
                nextTimed = firstTimed, ++loops;
        }
        if (nextTimed < activity.size())
            next = std::min(next, dueTime(activity[nextTimed], loops));
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
    m_control.raiseAlarm(camera, code,
                         activity.hasAlarmTime ? activity.alarmTimeSeconds
                                               : static_cast<int64_t>(std::time(nullptr)));
}

}  // namespace korvane::host::cli
