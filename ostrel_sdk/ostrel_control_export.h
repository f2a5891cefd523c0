// OSTREL_CONTROL_API marks the stand-in's control functions, which it exports by name (the
// Camera SDK's own operations are exported by ordinal, see OstrelSDK.def).

#pragma once

#if defined(_WIN32) && defined(OSTREL_SDK_IMPLEMENTATION)
#define OSTREL_CONTROL_API __declspec(dllexport)
#elif defined(_WIN32)
#define OSTREL_CONTROL_API __declspec(dllimport)
#else
#define OSTREL_CONTROL_API __attribute__((visibility("default")))
#endif
