#include "rule_line_cross_sync.h"

#include <nx/kit/debug.h>

#include "rule_set_sync.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

constexpr RuleKind kKind = RuleKind::kLineCross;

void addLineRule(const LineRule& rule, const RuleCacheEntry& entry, int number,
                 nx::sdk::SettingsResponse* response)
{
    addCommonSettings(kKind, number, rule, response);
    if (rule.enabled == 1)
    {
        response->setValue(ruleSettingKey(kKind, number, ruleKindInfo(kKind).figureSuffix),
                           encodeFigure(rule, entry, number));
    }
}

bool applyLineRule(LineRule* rule, RuleCacheEntry* entry, int slot, RuleSettingKeys* keys,
                   const SettingLookup& lookup, const RuleSession& session)
{
    if (!applyCommonSettings(kKind, slot, keys, lookup, session, rule))
        return false;
    decodeFigure(lookup(keys->key(ruleKindInfo(kKind).figureSuffix)), rule, entry);
    return true;
}

}  // namespace

void readLineCrossRules(const RuleSession& session, nx::sdk::SettingsResponse* response)
{
    runGuarded(NX_KIT_SOURCE_PREFIX, "read the line-crossing rules",
               [&]
               {
                   readRuleSet<LineRuleSet>(
                       kKind, session, &OSTREL_GetLineCrossRules, response,
                       [&](const LineRule& rule, const RuleCacheEntry& entry, int number)
                       { addLineRule(rule, entry, number, response); });
               });
}

void writeLineCrossRules(const RuleSession& session, const SettingLookup& lookup)
{
    runGuarded(session.printPrefix, "write the line-crossing rules",
               [&]
               {
                   writeRuleSet<LineRuleSet>(
                       kKind, session, &OSTREL_GetLineCrossRules, &OSTREL_SetLineCrossRules, lookup,
                       [&](LineRule* rule, RuleCacheEntry* entry, int slot, RuleSettingKeys* keys)
                       { return applyLineRule(rule, entry, slot, keys, lookup, session); });
               });
}

}  // namespace nx::vms_server_plugins::analytics::sample
