#include "plugin.h"

#include "engine.h"
#include "manifests/plugin_manifest.h"

namespace nx::vms_server_plugins::analytics::sample
{

nx::sdk::Result<nx::sdk::analytics::IEngine*> Plugin::doObtainEngine()
{
    return nx::sdk::Result<nx::sdk::analytics::IEngine*>(new Engine());
}

std::string Plugin::manifestString() const
{
    return pluginManifest();
}

}  // namespace nx::vms_server_plugins::analytics::sample
