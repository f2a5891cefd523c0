#include "camera_conditions.h"

namespace korvane::host::cli
{

namespace
{

using Part = CameraConditions::Part;

// What a device agent's line says about one part of its work: the line holds `first` and,
// after it, `second` (when not empty).
struct LineMeaning
{
    const char* first;
    const char* second;
    Part part;
    bool able;        //< The part works from now on.
    bool atCreation;  //< Only the agent's creation prints it: the session never opened.
};

constexpr const char* kSessionLine = "The camera session with ";

constexpr LineMeaning kMeanings[] = {
    {kSessionLine, " did not open: ", Part::kSession, false, true},
    {kSessionLine, " did not open again: ", Part::kSession, false, false},
    {kSessionLine, " was lost: ", Part::kSession, false, false},
    {kSessionLine, " opened again after ", Part::kSession, true, false},
    {"The alarm callback could not be installed on the camera ", "", Part::kAlarmCallback, false,
     false},
    {"The alarm callback was installed on the camera ", "", Part::kAlarmCallback, true, false},
    {"The smart-rule capabilities of the camera ", " could not be read", Part::kRuleCapabilities,
     false, false},
    {"The smart-rule capabilities of the camera ", " were read after ", Part::kRuleCapabilities,
     true, false},
};

// What the summary says of a part that ended unable, by Part.
constexpr const char* kFailures[] = {
    "the camera session did not open",
    "the alarm callback could not be installed (no events arrive from the camera)",
    "the smart-rule capabilities could not be read",
};
constexpr const char* kSessionLost = "the camera session was lost and did not open again";

const LineMeaning* meaningOf(const std::string& line)
{
    for (const LineMeaning& meaning : kMeanings)
    {
        const size_t first = line.find(meaning.first);
        if (first == std::string::npos)
            continue;
        if (*meaning.second == '\0' || line.find(meaning.second, first) != std::string::npos)
            return &meaning;
    }
    return nullptr;
}

int indexOf(Part part)
{
    return static_cast<int>(part);
}

}  // namespace

CameraConditions::CameraConditions(std::string devicePrefix)
    : m_devicePrefix(std::move(devicePrefix))
{
}

void CameraConditions::addCamera(const std::string& name, const std::string& deviceId)
{
    port::MutexLock lock(&m_mutex);
    Condition condition;
    condition.deviceId = deviceId;
    m_cameras[name] = condition;
}

void CameraConditions::removeCamera(const std::string& name)
{
    port::MutexLock lock(&m_mutex);
    m_cameras.erase(name);
}

bool CameraConditions::addLine(const std::string& line, std::string* name, std::string* text)
{
    port::MutexLock lock(&m_mutex);
    for (auto& [cameraName, condition] : m_cameras)
    {
        const std::string prefix = m_devicePrefix + condition.deviceId + "] ";
        if (line.compare(0, prefix.size(), prefix) != 0)
            continue;
        *name = cameraName;
        *text = line.substr(prefix.size());
        if (const LineMeaning* meaning = meaningOf(*text))
        {
            condition.able[indexOf(meaning->part)] = meaning->able;
            if (meaning->atCreation)
                condition.sessionOpenedOnce = false;
            // The other parts belong to a session: the opening that brings one back reports
            // its own failures of them (just before it says so).
            if (meaning->part == Part::kSession && !meaning->able)
            {
                condition.able[indexOf(Part::kAlarmCallback)] = true;
                condition.able[indexOf(Part::kRuleCapabilities)] = true;
            }
        }
        return true;
    }
    return false;
}

bool CameraConditions::sessionOpen(const std::string& name) const
{
    port::MutexLock lock(&m_mutex);
    const auto it = m_cameras.find(name);
    return it != m_cameras.end() && it->second.able[indexOf(Part::kSession)];
}

std::vector<std::string> CameraConditions::failures(const std::string& name,
                                                    bool sessionNeverOpened) const
{
    port::MutexLock lock(&m_mutex);
    std::vector<std::string> failures;
    const auto it = m_cameras.find(name);
    if (it == m_cameras.end())
        return failures;
    const Condition& condition = it->second;
    if (!condition.able[indexOf(Part::kSession)])
    {
        // The other parts belong to a session; without one they say nothing more.
        if (condition.sessionOpenedOnce)
            failures.push_back(kSessionLost);
        else if (sessionNeverOpened)
            failures.push_back(kFailures[indexOf(Part::kSession)]);
        return failures;
    }
    for (const Part part : {Part::kAlarmCallback, Part::kRuleCapabilities})
    {
        if (!condition.able[indexOf(part)])
            failures.push_back(kFailures[indexOf(part)]);
    }
    return failures;
}

bool CameraConditions::isShown(const std::string& line)
{
    if (line.find("ERROR") != std::string::npos)
        return true;
    const LineMeaning* meaning = meaningOf(line);
    return meaning && meaning->able;
}

}  // namespace korvane::host::cli
