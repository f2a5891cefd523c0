// Device agent manifest: the JSON text that tells the host which object types (with their
// attributes) and which event types a device agent reports, and how they are named and
// grouped. It is the same for every camera and depends on no setting.
//
// The text is built once, on first use, from fixed fragments and type catalogue constants,
// and never changed; safe to call from any thread, also while holding the agent's locks.

#pragma once

#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// The device agent manifest.
const std::string& deviceAgentManifest();

}  // namespace nx::vms_server_plugins::analytics::sample
