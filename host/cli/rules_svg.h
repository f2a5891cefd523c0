// Rules SVG: a picture of the smart rules the settings page would show for each camera.
//
// Each camera gets a frame of the image area with every enabled rule drawn in its colour: a
// line with an arrow for its direction, or an area, with the rule's label; the camera's
// switches are listed in a caption under the frame. Bad figures are skipped, never fatal.
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
    std::string camera;
    std::map<std::string, std::string> values;
};

// An SVG document with one frame per camera (in the given order), each showing the camera's
// enabled rules and switches. Never throws.
std::string rulesSvg(const std::vector<CameraRuleSettings>& cameras);

}  // namespace korvane::host::cli
