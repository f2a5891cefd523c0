// Immortal objects: the process-wide objects that the library creates on first use and
// never destroys, so that a Camera SDK thread running late in process exit never meets a
// destroyed one. When a host unloads the library, the library's own pointers to them go
// with it; makeImmortal() tells LeakSanitizer, in the builds that have it, that they are
// kept on purpose, so that the unload is not reported as a leak.
//
// Thread-safety: makeImmortal() may be called from any thread.

#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_HAS_LEAK_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_HAS_LEAK_SANITIZER 1
#endif

#if defined(KORVANE_HAS_LEAK_SANITIZER)
#include <sanitizer/lsan_interface.h>
#endif

namespace nx::kit
{

// Returns `object`, a new heap object that is never deleted, marked as kept on purpose
// (everything it holds is then counted as reachable as well).
template <typename T>
T* makeImmortal(T* object)
{
#if defined(KORVANE_HAS_LEAK_SANITIZER)
    __lsan_ignore_object(object);
#endif
    return object;
}

}  // namespace nx::kit
