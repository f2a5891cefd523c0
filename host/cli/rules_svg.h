// Rules SVG: a picture of the smart rules the settings page would show for each camera.
//
// Each camera gets a frame of the image area with every enabled rule drawn in its colour (by
// default its kind's): a line with an arrow for its direction, or an area, with the rule's
// label; a rule whose kind is switched off on the camera is drawn dashed and grey. No two
// labels share a box: one that finds no room in the image goes under it. The camera's
// switches are listed in a caption under the frame, and a legend at the top shows the
// kinds' colours. Bad figures are skipped, never fatal.
// rulesSvg() only reads its argument: safe to call from any number of threads at once.

#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvane::host::cli
{

// One camera's plugin-side settings, as the settings page would receive them.
struct CameraRuleSettings
{
    // Whether the settings could be read; a frame without rules says why.
    enum class Status
    {
        kRead,
        kNoSession,   //< The camera session did not open: nothing was asked of the camera.
        kReadFailed,  //< The plugin refused to read the settings.
    };

    std::string camera;
    std::map<std::string, std::string> values;
    Status status = Status::kRead;
};

// An SVG document with one frame per camera (in the given order), each showing the camera's
// enabled rules and switches. Never throws.
std::string rulesSvg(const std::vector<CameraRuleSettings>& cameras);

}  // namespace korvane::host::cli
