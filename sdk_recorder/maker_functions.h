// MakerFunctions: the camera maker's Camera SDK entry points, found once in its library by
// the recorder's OSTREL_Init and used by every forwarded call.
//
// Thread-safe: loadMakerFunctions() may be called from any thread (a failed load is tried
// again by the next call); the table it publishes never changes afterwards and the library
// is never unloaded, as the maker's threads may call back into the process until it ends.

#pragma once

#include <string>

#include "camera_sdk/ostrel_sdk.h"

namespace korvane::sdk_recorder
{

struct MakerFunctions
{
#define KORVANE_SDK_ENTRY_POINT(name, ordinal) decltype(&::name) name = nullptr;
#include "sdk_recorder/entry_points.inc"
#undef KORVANE_SDK_ENTRY_POINT
};

// The table, or null until a load has succeeded.
const MakerFunctions* makerFunctions();

// Loads the maker's library and all its entry points, unless that was done already; the
// table, or null with `*errorText` set (what is missing, in one line). `*target` is the
// library that was tried.
const MakerFunctions* loadMakerFunctions(std::string* target, std::string* errorText);

}  // namespace korvane::sdk_recorder
