// The Camera SDK's records as the JSON of a capture file, field by field, and the layout of
// that file. Names follow the command-line host's simulation files wherever those describe
// the same record (rules, switches, combinations, detections), so that a captured record
// can be turned back into a stand-in record by the host's own reader; the other names are
// the fields of camera_sdk/ostrel_sdk.h.
//
// A capture is JSON Lines, one object per line, in the order things happened:
//   {"format": "korvane-sdk-capture", "version": 1, "t": 0, "recorder": "1.2.5.0",
//    "process": 4711, "platform": "linux-x86_64", "maxBytes": 104857600}
// then one record per call:
//   {"t": µs since the first record, "thread": n, "op": "OSTREL_...", ...arguments...,
//    "out": {...what the call filled in...}, "result": r, "lastError": e}
// ("lastError" only when the call failed: result 0, or a null session from OSTREL_Login;
// it is what OSTREL_GetLastError then answered), and one per callback delivery:
//   {"t": ..., "thread": n, "callback": "alarm", "session": s, "alarm": {...}}
//   {"t": ..., "thread": n, "callback": "structured", "session": s, "record": {...}}
// A delivery that arrives for a callback whose session has logged out is not passed on and
// carries "afterLogout": true. The last record says why recording ended and how many
// records were dropped because the writer fell behind:
//   {"t": ..., "end": "size limit" | "process exit", "dropped": n}
// A capture cut short has no such record.
//
// Threads are numbered 1, 2, ... in order of their first record. Session handles become
// "session": 1, 2, ... in order of first appearance (a null handle is 0; a handle logged out
// and handed out again gets a new number); subscription ids become "subscription": 1, 2, ...
//
// Arguments and "out" members per operation:
//   OSTREL_Init                 "target" (the maker's library), "error" when it could not
//                               be used; result
//   OSTREL_GetLastError         result
//   OSTREL_Login                "address", "port", "loginName", "password": "given" |
//                               "empty" (never the password), "loginMode";
//                               out: "serialNumber", "channelCount", "startChannel";
//                               "session" and result: the session number (0 on failure)
//   OSTREL_Logout               "session"
//   OSTREL_QueryChannelList     "session", "capacity"; out: "count", "channels":
//                               [{"channel", "name", "online"}]
//   OSTREL_GetDeviceConfig      "session", "channel", "command", "bufferSize"; out:
//                               "bytesReturned", for the smart-capabilities command
//                               "capabilities": {"lineCross", "intrusion", "enterArea",
//                               "leaveArea"}, for any other command "data" (hexadecimal)
//   OSTREL_SetAlarmCallback,
//   OSTREL_SetStructDataCallback "session", "installed": true | false
//   OSTREL_Subscribe            "session", "alarmTypes", "structuredTypes"; out:
//                               "subscription"
//   OSTREL_Unsubscribe          "session", "subscription"
//   OSTREL_Get<Kind>Rules       "session", "channel"; out: a rule set (below)
//   OSTREL_Set<Kind>Rules       "session", "channel", "rules": a rule set
//                               (<Kind>: LineCross, Intrusion, EnterArea, LeaveArea)
//   OSTREL_GetSmartRuleSwitches "session", "channel"; out: {"enabledTypes": [...],
//                               "disabledTypes": [...]}
//   OSTREL_SetSmartRuleSwitches "session", "channel", "switches": the same
//   OSTREL_GetSmartRuleCombinations "session", "channel", "groupCapacity"; out:
//                               {"combinations": [[type, ...], ...]}
// A rule set is {"count": ruleCount, "rules": [rule, ...]} with the first min(count, 4)
// rules. A line rule: {"ruleIndex", "enabled", "sensitivity", "direction", "start": [x, y],
// "end": [x, y], "priority", "filterCount", "filters": [filter, ...]}; an area rule:
// {"ruleIndex", "enabled", "sensitivity", "timeThreshold", "pointCount", "points":
// [[x, y], ...] (at most 6), "priority", "filterCount", "filters"}. A filter: {"type",
// "enabled", "firstParameters": [8 bytes], "secondParameters": [8 bytes]}. Only the filters
// the caller made room for are read: min(filterCount, the capacity it passed in).
// An alarm: {"channel", "alarmType", "alarmTime"}. A structured record: {"faces": [...],
// "persons": [...], "vehicles": [...]} with every attribute code of ostrel_sdk.h by its
// field name ("gender", "age", ..., "vehicleType", "speed", "plateNumber", ...).
// Text fields that are not UTF-8 also carry their bytes (see capture_text.h).
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <cstdint>

#include <nx/kit/json.h>

#include "camera_sdk/ostrel_sdk.h"

namespace korvane::sdk_recorder
{

// The version of the capture layout described above; readers refuse others.
constexpr int kCaptureFormatVersion = 1;
constexpr const char* kCaptureFormatName = "korvane-sdk-capture";

// How many filters each rule of a set has room for, taken before a call fills the set.
struct FilterCapacities
{
    int32_t perRule[kOstrelRuleSlots] = {};
};

// The capacities that `filterCount` of each rule announces.
FilterCapacities filterCapacitiesOf(const LineRuleSet& rules);
FilterCapacities filterCapacitiesOf(const AreaRuleSet& rules);

// Adds the login request's members to `record`; the password only as "given" or "empty".
void addLoginRequest(const OstrelLoginRecord& login, nx::kit::Json::Object* record);

// The login result: serial number, channel count, start channel.
nx::kit::Json loginResultJson(const OstrelLoginResult& result);

// The first `count` channel records (none when `channels` is null).
nx::kit::Json channelListJson(const OstrelChannelRecord* channels, int32_t count);

// What a configuration read returned in the `size` bytes of `buffer`.
nx::kit::Json deviceConfigJson(int32_t command, const void* buffer, int32_t size);

// One alarm.
nx::kit::Json alarmJson(const OstrelAlarmRecord& alarm);

// One structured batch: faces, persons and vehicles with every attribute.
nx::kit::Json structuredJson(const OstrelStructuredRecord& record);

// A line-crossing rule set, reading at most `capacities` filters per rule.
nx::kit::Json lineRuleSetJson(const LineRuleSet& rules, const FilterCapacities& capacities);

// An intrusion, enter-area or leave-area rule set, likewise.
nx::kit::Json areaRuleSetJson(const AreaRuleSet& rules, const FilterCapacities& capacities);

// The switched-on and switched-off rule types.
nx::kit::Json switchListJson(const RuleSwitchList& switches);

// How much room the caller made in a combination list: groups, and types per group.
struct CombinationCapacities
{
    int32_t groups = 0;
    int32_t typesPerGroup[kOstrelCombinationCapacity] = {};
};

// The capacities a combination list announces before a call fills it.
CombinationCapacities combinationCapacitiesOf(const RuleCombinationList& list);

// The filled groups of a combination list, reading only what the caller made room for.
nx::kit::Json combinationListJson(const RuleCombinationList& list,
                                  const CombinationCapacities& capacities);

}  // namespace korvane::sdk_recorder
