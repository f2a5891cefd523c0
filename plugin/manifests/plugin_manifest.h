// Plugin manifest: the JSON text that names the plugin to the host.
//
// The text is built once, on first use, and never changed; safe to call from any thread.

#pragma once

#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// The plugin manifest: the plugin's id, name, description, version and vendor.
const std::string& pluginManifest();

}  // namespace nx::vms_server_plugins::analytics::sample
