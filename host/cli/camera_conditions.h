// CameraConditions: whether each camera of a run can deliver, as the plugin's lines about it
// say. Three parts of a device agent's work can fail and be repaired later: the camera
// session (it did not open, did not open again, was lost, opened again), the alarm callback
// and the reading of the smart-rule capabilities. This unit is the one place that spells the
// fragments of the plugin's lines it recognises, and the words the host's summary gives to
// each part that ended unable.
//
// Thread-safety: thread-safe; lines may arrive on the diagnostics reader's thread while the
// runner adds and removes cameras on its own.

#pragma once

#include <map>
#include <string>
#include <vector>

#include "port/mutex.h"

namespace korvane::host::cli
{

class CameraConditions
{
public:
    // The part of a device agent's work that a line is about.
    enum class Part
    {
        kSession,
        kAlarmCallback,
        kRuleCapabilities,
    };

    // `devicePrefix` is how the plugin's device agents begin their lines ("[" + the
    // library's name + "_device_"); the device id and "] " follow it.
    explicit CameraConditions(std::string devicePrefix);

    // Follows the agent with device id `deviceId` under the name `name`, every part able,
    // from now on (again, when it was removed).
    void addCamera(const std::string& name, const std::string& deviceId) EXCLUDES(m_mutex);

    // Stops following the camera: its agent is gone, so nothing is owed any more.
    void removeCamera(const std::string& name) EXCLUDES(m_mutex);

    // Takes one line the plugin printed. When it is about a followed camera, sets `*name`
    // and `*text` (the line without its prefix), applies what it says and returns true.
    bool addLine(const std::string& line, std::string* name, std::string* text) EXCLUDES(m_mutex);

    // Whether the camera's session is open now (false for a camera not followed).
    bool sessionOpen(const std::string& name) const EXCLUDES(m_mutex);

    // What the camera cannot do now, each as the summary says it; empty when it can
    // deliver. `sessionNeverOpened` decides whether a session that never opened counts.
    std::vector<std::string> failures(const std::string& name, bool sessionNeverOpened) const
        EXCLUDES(m_mutex);

    // Whether `line` is one a run shows beside its camera: an error line, or a line saying
    // that a part which had failed works now.
    static bool isShown(const std::string& line);

private:
    struct Condition
    {
        std::string deviceId;
        bool able[3] = {true, true, true};  //< By Part.
        bool sessionOpenedOnce = true;      //< False after "did not open" at creation.
    };

    const std::string m_devicePrefix;
    mutable port::Mutex m_mutex;
    std::map<std::string, Condition> m_cameras GUARDED_BY(m_mutex);  //< By name.
};

}  // namespace korvane::host::cli
