// Area rule sync for the intrusion, enter-area and leave-area kinds: the camera's four
// rules of a kind as settings ("Intrusion.IncludeArea<n>...", ...), read into a settings
// response and written back from the received settings, followed by the kind's switch.
//
// Thread-safety: may be called from any thread for any session; a read or write holds the
// mutex of its kind's cache throughout. Nothing throws.

#pragma once

#include <string>

#include <nx/sdk/helpers/settings_response.h>

#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Adds the settings of every rule of `kind` that the camera reports (at most four); adds
// nothing when the session lacks the kind's capability or the camera cannot be read.
// REQUIRES: kind is not RuleKind::kLineCross; response != nullptr.
void readAreaRules(RuleKind kind, const RuleSession& session, nx::sdk::SettingsResponse* response);

// Writes all four rules of `kind` from the settings, then switches the kind on unless its
// switch setting is "false". A ".Sensitivity" (or, for intrusion, ".TimeThreshold") value
// that is not a number prints one line with the session's prefix and stops the write
// before anything is sent. REQUIRES: kind is not RuleKind::kLineCross.
void writeAreaRules(RuleKind kind, const RuleSession& session, const SettingLookup& lookup);

}  // namespace nx::vms_server_plugins::analytics::sample
