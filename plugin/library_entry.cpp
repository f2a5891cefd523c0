// createNxPlugin: the library entry that the host calls to obtain the plugin object.

#include <nx/kit/debug.h>
#include <nx/sdk/entry_points.h>

#include "camera_sdk/ostrel_sdk.h"
#include "plugin.h"

namespace
{

// Set once OSTREL_Init has succeeded; never cleared. The host calls createNxPlugin from
// one thread while loading, so no lock is taken.
bool g_cameraSdkInitialised = false;

}  // namespace

extern "C" nx::sdk::IPlugin* createNxPlugin()
{
    if (!g_cameraSdkInitialised)
    {
        if (OSTREL_Init() == 0)
        {
            // Without this line the server would only see that the plugin did not load.
            const int32_t lastError = OSTREL_GetLastError();
            NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX)
                << "ERROR: The Camera SDK could not be initialised (OSTREL_GetLastError() = "
                << lastError << "); no plugin is created, and the next call tries again.";
            return nullptr;
        }
        g_cameraSdkInitialised = true;
    }
    return new nx::vms_server_plugins::analytics::sample::Plugin();
}
