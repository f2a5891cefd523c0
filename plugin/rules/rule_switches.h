// The camera's on/off switch of each smart-rule kind: reading one switch into the settings
// read-back, and switching one kind on or off with the kinds that cannot run beside it
// switched off.
//
// Thread-safety: no state of its own and no lock; every call reads the camera's lists
// afresh. Safe to call from several threads for different sessions or the same one (the
// camera then sees the requests in some order).

#pragma once

#include <nx/sdk/helpers/settings_response.h>

#include "camera_sdk/ostrel_sdk.h"
#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Adds the kind's switch key ("CrossLineEnable", ...) with "true" when the camera lists the
// kind as switched on, else "false"; adds nothing, with one error line, when the camera's
// lists cannot be read. No capability test. REQUIRES: response != nullptr.
void readRuleSwitch(const RuleSession& session, RuleKind kind, nx::sdk::SettingsResponse* response);

// Switches `kind` on or off on the camera. When the camera's lists (or, to switch on, its
// groups) cannot be read, nothing is written. Each camera failure prints one line with the
// Camera SDK's last error and goes to the session's failure collector.
void applyRuleSwitch(const RuleSession& session, bool on, RuleKind kind);

// The request that switches `typeCode` on or off, from the camera's current lists and
// its groups of types that can run together; counts above the storage are cut to it, and
// codes that would not fit a list of the request are dropped.
// REQUIRES: request != nullptr; every group's `types` holds min(typeCount, 32) codes and
// `groups` holds min(groupCount, 32) groups (null pointers count as empty).
void buildSwitchRequest(const RuleSwitchList& current, bool on, int32_t typeCode,
                        const RuleCombinationList& combinations, RuleSwitchList* request);

}  // namespace nx::vms_server_plugins::analytics::sample
