// The rule value encodings shared by the rule readers and writers: enabled flag, priority,
// line direction, object-filter type, coordinates, and the JSON figure text of a
// ".Points" or ".Figure" setting.
//
// Thread-safety: pure functions; the cache entry passed in must be guarded by the caller
// (the mutex of its rule cache).

#pragma once

#include <cstdint>
#include <string>

#include "camera_sdk/ostrel_sdk.h"
#include "rule_cache.h"
#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Camera units to the full width or height of the image.
constexpr double cameraUnitsPerUnit = 10000.0;

// A camera coordinate as a normalised one: units / 10000, not rounded.
double toNormalisedCoordinate(uint32_t cameraUnits);

// A normalised coordinate in camera units: clamped to [0, 1] (NaN counts 0), times 10000,
// truncated toward zero.
uint32_t toCameraUnits(double value);

// "true" for any non-zero enabled field, "false" for 0.
const char* enabledText(int32_t enabled);

// 0 for exactly "false", 1 for any other text, the empty text included.
int32_t enabledFromText(const std::string& text);

// "high" for 0, "mid" for 1, "low" for any other priority code.
const char* priorityText(int32_t priority);

// Sets *priority from "high" (0), "mid" (1) or "low" (2); any other text leaves it.
void applyPriorityText(const std::string& text, int32_t* priority);

// "absent" for 0, "left" for 1, "right" for any other direction code.
const char* directionText(int32_t direction);

// 1 for "left", 2 for "right", 0 for any other text.
int32_t directionFromText(const std::string& text);

// The setting suffix of an object-filter type (".Vehicle", ".Non-motor-vehicle",
// ".Person"); null for any other type.
const char* filterSuffix(int32_t filterType);

// The figure text of an enabled line rule, with the default label "Cross Line-" + number
// when the entry has none.
std::string encodeFigure(const LineRule& rule, const RuleCacheEntry& entry, int number);

// The figure text of an enabled area rule of `kind`: the first point-count corners (at
// most six), the default label of the kind + number when the entry has none.
std::string encodeFigure(RuleKind kind, const AreaRule& rule, const RuleCacheEntry& entry,
                         int number);

// Applies a line figure text: direction and both points into the rule (a malformed or
// missing point is (0, 0)), colour, label and show-on-camera flag into the entry. A text
// without a figure (or not JSON at all) switches the rule off and keeps its geometry.
void decodeFigure(const std::string& text, LineRule* rule, RuleCacheEntry* entry);

// Applies an area figure text: corners and point count (at most six) into the rule,
// colour, label and show-on-camera flag into the entry. A text without a figure switches
// the rule off and keeps its polygon.
void decodeFigure(const std::string& text, AreaRule* rule, RuleCacheEntry* entry);

}  // namespace nx::vms_server_plugins::analytics::sample
