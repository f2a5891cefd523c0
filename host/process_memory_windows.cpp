#include "process_memory.h"

// The counters are read through kernel32 (K32GetProcessMemoryInfo), without psapi.dll.
#define PSAPI_VERSION 2
#include <windows.h>

// Needs <windows.h> first.
#include <psapi.h>

namespace korvane::host
{

int64_t residentBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return static_cast<int64_t>(counters.WorkingSetSize);
}

}  // namespace korvane::host
