// Line-crossing rule sync: the camera's four line-crossing rules as settings
// ("LineCrossed.IncludeArea<n>..."), read into a settings response and written back from
// the received settings, followed by the line-crossing switch.
//
// Thread-safety: may be called from any thread for any session; the read or write holds
// the line-crossing cache's mutex throughout. Nothing throws.

#pragma once

#include <string>

#include <nx/sdk/helpers/settings_response.h>

#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Adds the settings of every rule the camera reports (at most four); adds nothing when the
// session has no line-crossing capability or the camera cannot be read.
// REQUIRES: response != nullptr.
void readLineCrossRules(const RuleSession& session, nx::sdk::SettingsResponse* response);

// Writes all four line-crossing rules from the settings, then switches line crossing on
// unless "CrossLineEnable" is "false". A ".Sensitivity" value that is not a number prints
// one line with the session's prefix and stops the write before anything is sent.
void writeLineCrossRules(const RuleSession& session, const SettingLookup& lookup);

}  // namespace nx::vms_server_plugins::analytics::sample
