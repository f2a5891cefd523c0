// The device agent's entry points into smart-rule sync: writing all four rule kinds when
// settings arrive, and the plugin-side settings read-back of the camera's rules and
// switches.
//
// Thread-safety: may be called from any thread for any session; each rule kind is read or
// written under the mutex of its cache. Nothing throws.

#pragma once

#include <string>

#include <nx/sdk/helpers/settings_response.h>
#include <nx/sdk/ptr.h>

#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Writes the four rule kinds in the order line crossing, enter area, leave area,
// intrusion; a writer stopped by a setting that is not a number does not stop the others.
void writeAllRules(const RuleSession& session, const SettingLookup& lookup);

// A new settings response with the camera's rules (line crossing, enter area, leave area,
// intrusion) and the four switch keys; never null.
nx::sdk::Ptr<nx::sdk::SettingsResponse> readPluginSideSettings(const RuleSession& session);

}  // namespace nx::vms_server_plugins::analytics::sample
