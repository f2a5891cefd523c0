// Settings application: how the device-agent settings switch the agent's behaviour.
//
// Pure functions; the caller holds the agent's settings lock around applySettings().

#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// The switches that the received settings set; the alarm path's generate-events flag is
// kept by the agent itself, as an atomic.
struct AgentSwitches
{
    bool sendAttributes = true;
    int32_t timestampShiftMs = 0;
    std::set<std::string> enabledObjectTypes;
};

// True for "1" and for "true" in any letter case; false for everything else.
bool parseBooleanSetting(const std::string& value);

// Rebuilds the enabled object types from `settings` and takes "sendAttributes" and
// "timestampShiftMs" from it when present; absent keys keep those two as they were. A shift
// that is not a 32-bit decimal number keeps the old shift and prints one line, starting
// with `printPrefix`, naming the key and the value.
void applySettings(const std::map<std::string, std::string>& settings,
                   const std::string& printPrefix, AgentSwitches* switches);

}  // namespace nx::vms_server_plugins::analytics::sample
