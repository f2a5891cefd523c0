// Loads the Camera SDK stand-in for the runs that simulate cameras, and finds its control
// table, so that the command-line host links none of the stand-in's functions and starts
// with the camera maker's library as well.
//
// The stand-in is loaded by its full path before the plugin library: the plugin's
// dependency on the Camera SDK, by name, then binds to the library already loaded. Runs
// that watch real cameras load no stand-in, and the plugin gets the Camera SDK library that
// the loader finds for it (beside it, in a package).
//
// Thread-safe.

#pragma once

#include <string>

#include "ostrel_sdk/ostrel_control.h"

namespace korvane::host::cli
{

// The base name of the Camera SDK library: libOstrelSDK.so on Linux, OstrelSDK.dll on
// Windows.
constexpr const char* kCameraSdkBaseName = "OstrelSDK";

// A Camera SDK entry point that every Camera SDK library has; the library that gives it to
// the plugin is the one the plugin calls.
constexpr const char* kCameraSdkEntryPoint = "OSTREL_Init";

// Loads the stand-in at `path` for good and returns its control table. Behind the recording
// Camera SDK installed there by renaming, the stand-in is the renamed maker's library beside
// it, which the recorder loads only when the plugin initialises it: loaded here first, it
// stays loaded and the recorder gets the same one. Null with `*errorText` set when the
// library cannot be loaded or is not the stand-in.
// REQUIRES: the plugin library is not loaded yet.
const ostrel::control::ControlTable* loadStandIn(const std::string& path, std::string* errorText);

}  // namespace korvane::host::cli
