#include "rule_area_sync.h"

#include <nx/kit/debug.h>

#include "rule_set_sync.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// The Camera SDK calls of one area kind.
struct AreaCalls
{
    RuleSetCall<AreaRuleSet> get;
    RuleSetCall<AreaRuleSet> put;
};

AreaCalls areaCalls(RuleKind kind)
{
    switch (kind)
    {
        case RuleKind::kIntrusion:
            return {&OSTREL_GetIntrusionRules, &OSTREL_SetIntrusionRules};
        case RuleKind::kEnterArea:
            return {&OSTREL_GetEnterAreaRules, &OSTREL_SetEnterAreaRules};
        default:
            return {&OSTREL_GetLeaveAreaRules, &OSTREL_SetLeaveAreaRules};
    }
}

void addAreaRule(RuleKind kind, const AreaRule& rule, const RuleCacheEntry& entry, int number,
                 nx::sdk::SettingsResponse* response)
{
    addCommonSettings(kind, number, rule, response);
    if (ruleKindInfo(kind).hasTimeThreshold)
    {
        response->setValue(ruleSettingKey(kind, number, kTimeThresholdSuffix),
                           std::to_string(rule.timeThreshold));
    }
    if (rule.enabled == 1)
    {
        response->setValue(ruleSettingKey(kind, number, ruleKindInfo(kind).figureSuffix),
                           encodeFigure(kind, rule, entry, number));
    }
}

bool applyAreaRule(RuleKind kind, AreaRule* rule, RuleCacheEntry* entry, int slot,
                   RuleSettingKeys* keys, const SettingLookup& lookup, const RuleSession& session)
{
    if (!applyCommonSettings(kind, slot, keys, lookup, session, rule))
        return false;
    if (ruleKindInfo(kind).hasTimeThreshold &&
        !readNumberSetting(kind, session, lookup, keys->key(kTimeThresholdSuffix),
                           &rule->timeThreshold))
    {
        return false;
    }
    decodeFigure(lookup(keys->key(ruleKindInfo(kind).figureSuffix)), rule, entry);
    return true;
}

}  // namespace

void readAreaRules(RuleKind kind, const RuleSession& session, nx::sdk::SettingsResponse* response)
{
    runGuarded(NX_KIT_SOURCE_PREFIX, "read the area rules",
               [&]
               {
                   readRuleSet<AreaRuleSet>(
                       kind, session, areaCalls(kind).get, response,
                       [&](const AreaRule& rule, const RuleCacheEntry& entry, int number)
                       { addAreaRule(kind, rule, entry, number, response); });
               });
}

void writeAreaRules(RuleKind kind, const RuleSession& session, const SettingLookup& lookup)
{
    runGuarded(session.printPrefix, "write the area rules",
               [&]
               {
                   const AreaCalls calls = areaCalls(kind);
                   writeRuleSet<AreaRuleSet>(
                       kind, session, calls.get, calls.put, lookup,
                       [&](AreaRule* rule, RuleCacheEntry* entry, int slot, RuleSettingKeys* keys)
                       { return applyAreaRule(kind, rule, entry, slot, keys, lookup, session); });
               });
}

}  // namespace nx::vms_server_plugins::analytics::sample
