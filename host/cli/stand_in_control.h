// Finds the Camera SDK stand-in's control table in the Camera SDK library that the plugin
// loaded (or, behind the recording Camera SDK, in the maker's library renamed beside it), so
// that the command-line host links none of the stand-in's functions and starts with the
// camera maker's library as well.
//
// Thread-safe.

#pragma once

#include "ostrel_sdk/ostrel_control.h"

namespace korvane::host::cli
{

// The base name of the Camera SDK library: libOstrelSDK.so on Linux, OstrelSDK.dll on
// Windows.
constexpr const char* kCameraSdkBaseName = "OstrelSDK";

// The stand-in's control table, or null when the Camera SDK library in the process is not
// the stand-in (or none is loaded yet: the plugin library loads it).
const ostrel::control::ControlTable* findStandInControl();

}  // namespace korvane::host::cli
