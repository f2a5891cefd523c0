// Where korvane_host finds, by default, the plugin library and the Camera SDK stand-in:
// relative to the folder of its own program, never by an absolute path, so that a copy
// finds the libraries of its own folder tree and never those of the build.
//
// A package holds the tool in tools/, the plugin library in the folder above it (with the
// camera maker's Camera SDK beside it) and the stand-in in tools/simulated_cameras/, a
// folder of its own where neither a server nor an installed plugin looks for a Camera SDK.
// The build tree has them where it builds them. The tool is built once for each layout; the
// two builds differ in these two paths alone (KORVANE_TOOL_PLUGIN_PATH and
// KORVANE_TOOL_STAND_IN_PATH, set by host/cli/CMakeLists.txt).
//
// Thread-safe.

#pragma once

#include <string>

namespace korvane::host::cli
{

// The plugin library that --plugin replaces.
std::string defaultPluginPath();

// The stand-in that scenarios, --simulate and --replay load before the plugin.
std::string standInPath();

}  // namespace korvane::host::cli
