// The four functions the library exports under plain C names: the host's only entry.

#pragma once

#include <nx/sdk/export.h>

namespace nx::sdk
{
class ILibContext;
class IPlugin;
class IStringMap;
}  // namespace nx::sdk

extern "C"
{
    // Initialises the Camera SDK once per process and returns a new plugin object (one
    // reference, owned by the caller), or null when the Camera SDK cannot be initialised.
    NX_PLUGIN_API nx::sdk::IPlugin* createNxPlugin();

    // The process-wide library context; never null.
    NX_PLUGIN_API nx::sdk::ILibContext* nxLibContext();

    // The host SDK version the library was built against: "5.1.2 R2".
    NX_PLUGIN_API const char* nxSdkVersion();

    // Replaces the stored unit-test options with a copy of `options`; null does nothing.
    NX_PLUGIN_API void nxSetUnitTestOptions(const nx::sdk::IStringMap* options);

}  // extern "C"
