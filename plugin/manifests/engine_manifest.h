// Engine manifest: the JSON text that declares the event group of the type library, the
// video stream the device agents want and the device-agent settings model (the settings page
// of each camera, including its four smart-rule sections).
//
// The text is built once, on first use, from fixed fragments, type catalogue constants and
// the four rule sections written from the rule-kind table, and never changed; safe to call
// from any thread.

#pragma once

#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// The engine manifest.
const std::string& engineManifest();

}  // namespace nx::vms_server_plugins::analytics::sample
