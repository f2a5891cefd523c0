// The Camera SDK (library OstrelSDK) as the plugin sees it: plain C operations.
//
// The plugin links the library by name, so the camera maker's library or a stand-in can
// replace it at load time. The SDK is thread-safe and calls its callbacks on threads of
// its own. Every record passed to it is owned, and zero-filled, by the caller.

#pragma once

#include <cstdint>

#if defined(_WIN32)
#define OSTREL_API __declspec(dllimport)
#else
#define OSTREL_API __attribute__((visibility("default")))
#endif

extern "C"
{
    // Initialises the SDK; nonzero on success. Called once per process before any other call.
    OSTREL_API int32_t OSTREL_Init(void);

    // The code of the last failure of the calling context.
    OSTREL_API int32_t OSTREL_GetLastError(void);

}  // extern "C"
