#include "simulation.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>

#include "host/cli/camera_records.h"
#include "host/cli/json_fields.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

// The shortest time before the timed entries start again, so that a short file cannot make
// a looping run spin.
constexpr int64_t kShortestLoopMs = 100;

// The longest period or outage (a day) and the latest time of a timed entry (a year).
constexpr int64_t kLongestPeriodMs = 86400000;
constexpr int64_t kLatestMs = 31536000000;

// How long a run that ends when its timed entries have played goes on after the file's
// length: a few video frames, so that the last detections still become objects.
constexpr int64_t kPlayedTailMs = 500;

// When the entry is due: "everyMs" or "atMs", exactly one of them.
void timingOf(JsonFields* fields, Activity* activity)
{
    const bool periodic = fields->has("everyMs");
    activity->everyMs = fields->integer("everyMs", 1000, 1, kLongestPeriodMs);
    activity->atMs = fields->integer("atMs", -1, 0, kLatestMs);
    if (periodic == (activity->atMs >= 0) && fields->ok())
        fields->failHere(
            "needs either \"everyMs\" (delivered every so often) or \"atMs\" "
            "(delivered once, that long after the start)");
}

// What the entry delivers: "alarm" or "alarms", "objects", or an outage of "awayMs".
void deliveryOf(JsonFields* fields, const Json& json, Activity* activity, int64_t* awayMs)
{
    if (fields->has("alarm"))
        activity->alarms.push_back(
            static_cast<int32_t>(fields->integer("alarm", 0, kInt32Min, kInt32Max)));
    const Json::Array& codes = fields->list("alarms");
    for (size_t i = 0; i < codes.size() && fields->ok(); ++i)
    {
        int64_t code = 0;
        JsonFields::integerAt(codes[i], fields->pathOf("alarms", i), kInt32Min, kInt32Max, &code,
                              fields->errorText());
        activity->alarms.push_back(static_cast<int32_t>(code));
    }
    activity->hasAlarmTime = fields->has("time");
    // Any camera time: a capture gives back what the camera sent, however odd.
    activity->alarmTimeSeconds = fields->integer("time", 0, INT64_MIN, INT64_MAX);
    const bool hasObjects = fields->has("objects");
    JsonFields objects(hasObjects ? fields->object("objects") : Json(Json::Object()),
                       fields->pathOf("objects"), fields->errorText());
    readBatch(&objects, &activity->objects);
    objects.done();
    const bool outage = fields->has("awayMs");
    *awayMs = fields->integer("awayMs", 0, 1, kLongestPeriodMs);
    activity->reboot = fields->boolean("reboot", false);
    const int kinds = !activity->alarms.empty() + hasObjects + outage;
    if (kinds != 1 && fields->ok())
        fields->failHere(
            "needs one of \"alarm\" or \"alarms\" (a code, or codes in turn), "
            "\"objects\" (detections) or \"awayMs\" (an outage)");
    else if (outage && activity->atMs < 0)
        fields->fail("awayMs", "an outage is a timed entry: it needs \"atMs\"");
    else if (activity->hasAlarmTime && activity->alarms.empty())
        fields->fail("time", "only an alarm entry has a camera time");
    else if (json["reboot"].isBool() && !outage)
        fields->fail("reboot", "only an outage (\"awayMs\") reboots its camera");
    activity->kind = outage ? Activity::Kind::kTakeAway
                            : (hasObjects ? Activity::Kind::kObjects : Activity::Kind::kAlarm);
}

// Reads one entry of "activity"; an outage becomes the two entries of its edges.
bool activityOf(const Json& json, const std::string& path, const std::vector<CameraSpec>& cameras,
                std::vector<Activity>* entries, std::string* errorText)
{
    JsonFields fields(json, path, errorText);
    Activity activity;
    activity.camera = fields.text("camera", "");
    const bool known = std::any_of(cameras.begin(), cameras.end(),
                                   [&](const CameraSpec& c) { return c.name == activity.camera; });
    if (!known)
        fields.fail("camera",
                    "\"" + activity.camera + "\" is not the name of a camera of the file");
    timingOf(&fields, &activity);
    int64_t awayMs = 0;
    deliveryOf(&fields, json, &activity, &awayMs);
    if (!fields.done())
        return false;
    entries->push_back(activity);
    if (activity.kind != Activity::Kind::kTakeAway)
        return true;
    activity.kind = Activity::Kind::kBringBack;
    activity.atMs += awayMs;
    entries->push_back(activity);
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
    errorText->clear();
    JsonFields file(json, "", errorText);
    if (!readCameras(&file, &simulation->cameras))
        return false;
    const Json::Array& entries = file.list("activity");
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (!activityOf(entries[i], file.pathOf("activity", i), simulation->cameras,
                        &simulation->activity, errorText))
            return false;
    }
    const int64_t lengthMs = file.integer("lengthMs", 0, 0, kLatestMs);
    if (!file.done())
        return false;
    simulation->lengthMs = lengthMs;
    for (const Activity& activity : simulation->activity)
        simulation->lengthMs = std::max(simulation->lengthMs, activity.atMs);
    std::stable_sort(simulation->activity.begin(), simulation->activity.end(),
                     [](const Activity& a, const Activity& b) { return a.atMs < b.atMs; });
    return true;
}

Simulation::Simulation(const ostrel::control::ControlTable& control, SimulationSpec spec,
                       AlarmObserver onAlarm)
    : m_control(control), m_spec(std::move(spec)), m_onAlarm(std::move(onAlarm))
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

bool Simulation::streamDown(const std::string& address, int32_t port) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const size_t index : m_away)
    {
        const CameraSpec& camera = m_spec.cameras[index];
        if (camera.address == address && camera.port == port)
            return true;
    }
    return false;
}

bool Simulation::playedOut() const
{
    if (!m_spec.endsWhenPlayed || m_spec.loop)
        return false;
    const std::lock_guard<std::mutex> lock(m_mutex);
    Activity end;
    end.atMs = m_spec.lengthMs;
    return m_timedPlayed &&
           Clock::now() >= dueTime(end, 0) + std::chrono::milliseconds(kPlayedTailMs);
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
    m_timedPlayed = firstTimed == activity.size();
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
            m_timedPlayed = nextTimed == activity.size();
        }
        if (nextTimed < activity.size())
            next = std::min(next, dueTime(activity[nextTimed], loops));
        m_wake.wait_until(lock, next, [this] { return m_stopping; });
    }
}

void Simulation::deliver(const Activity& activity, int64_t round)
{
    size_t index = 0;
    while (m_spec.cameras[index].name != activity.camera)  //< The parser checked the name.
        ++index;
    const ostrel::control::CameraId camera = m_cameraIds[index];
    switch (activity.kind)
    {
        case Activity::Kind::kTakeAway:
            m_away.insert(index);
            m_control.takeAway(camera);
            return;
        case Activity::Kind::kBringBack:
            m_away.erase(index);
            m_control.bringBack(camera, activity.reboot);
            return;
        case Activity::Kind::kObjects:
            m_control.deliverStructured(camera, activity.objects);
            return;
        case Activity::Kind::kAlarm:
            break;
    }
    const int32_t code = activity.alarms[static_cast<size_t>(round) % activity.alarms.size()];
    const int64_t time = activity.hasAlarmTime ? activity.alarmTimeSeconds
                                               : static_cast<int64_t>(std::time(nullptr));
    m_control.raiseAlarm(camera, code, time);
    if (m_onAlarm && !m_away.count(index))
        m_onAlarm(m_spec.cameras[index], code, time);
}

}  // namespace korvane::host::cli
