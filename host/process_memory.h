// The process's resident memory, for the soak run's check that a long run does not grow.
//
// The one place of the host that tells how each platform reports it: Linux in
// /proc/self/statm (process_memory_posix.cpp), Windows through the process memory counters
// (process_memory_windows.cpp). Thread-safe.

#pragma once

#include <cstdint>

namespace korvane::host
{

// The bytes of the process's memory that are resident now; -1 when it cannot be read.
int64_t residentBytes();

}  // namespace korvane::host
