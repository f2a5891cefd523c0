// Copies between a simulated channel's stored configuration and the Camera SDK's records,
// the way a camera fills and takes them: counts as stored, never past the caller's
// declared room or the record's fixed slots.
//
// Thread-safety: functions of their arguments only; the caller guards the channel.

#pragma once

#include <cstdint>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/ostrel_control.h"

namespace ostrel
{

// The channel's rule set of an area kind. REQUIRES: `kind` is not kLineCross.
control::AreaRules& areaRulesOf(control::ChannelConfig& channel, control::RuleSetKind kind);

// The get or set operation of an area kind. REQUIRES: `kind` is not kLineCross.
control::Operation areaOperation(control::RuleSetKind kind, bool write);

// Fills `out` from `stored`: the rule count as stored, at most four rules, each rule's
// filters copied into the caller's filter storage as far as its declared capacity goes.
void readRules(const control::LineRules& stored, LineRuleSet* out);
void readRules(const control::AreaRules& stored, AreaRuleSet* out);

// The rule set as the caller wrote it, filters copied out of the caller's storage.
control::LineRules writtenRules(const LineRuleSet& in);
control::AreaRules writtenRules(const AreaRuleSet& in);

// Fills the command-3 configuration block (kOstrelConfigBufferSize bytes) with the
// channel's capability values.
void readCapabilities(const control::ChannelConfig& channel, void* block);

// Fills the caller's switch lists from the channel.
void readSwitches(const control::ChannelConfig& channel, RuleSwitchList* out);

// Stores the caller's switch lists in the channel.
void writeSwitches(const RuleSwitchList& in, control::ChannelConfig* channel);

// Fills as many combination groups as the caller declared room for, each up to its own
// capacity.
void readCombinations(const control::ChannelConfig& channel, RuleCombinationList* out);

}  // namespace ostrel
