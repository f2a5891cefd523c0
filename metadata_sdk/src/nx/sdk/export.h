// NX_PLUGIN_API marks the library's entry points, the only symbols it exports.

#pragma once

#if defined(_WIN32)
#define NX_PLUGIN_API __declspec(dllexport)
#else
#define NX_PLUGIN_API __attribute__((visibility("default")))
#endif
