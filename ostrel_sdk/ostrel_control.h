// Control interface of the Camera SDK stand-in, for tests and the command-line host.
//
// The plugin never uses it. All functions are thread-safe.

#pragma once

#include <cstdint>

#define OSTREL_CONTROL_API __attribute__((visibility("default")))

namespace ostrel::control
{

// Forgets every simulated camera, failure and recorded call; OSTREL_Init succeeds again.
OSTREL_CONTROL_API void reset();

// Makes the next `count` calls of OSTREL_Init return 0 (and set the last error).
OSTREL_CONTROL_API void failInit(int count);

// How many times OSTREL_Init has been called since the last reset.
OSTREL_CONTROL_API int initCallCount();

// The value OSTREL_GetLastError reports when the last call failed.
constexpr int32_t kErrorInitFailed = 1;

}  // namespace ostrel::control
