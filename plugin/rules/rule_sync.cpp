#include "rule_sync.h"

#include "rule_area_sync.h"
#include "rule_line_cross_sync.h"
#include "rule_switches.h"

namespace nx::vms_server_plugins::analytics::sample
{

void writeAllRules(const RuleSession& session, const SettingLookup& lookup)
{
    for (const RuleKind kind : kRuleWriteOrder)
    {
        if (kind == RuleKind::kLineCross)
            writeLineCrossRules(session, lookup);
        else
            writeAreaRules(kind, session, lookup);
    }
}

nx::sdk::Ptr<nx::sdk::SettingsResponse> readPluginSideSettings(const RuleSession& session)
{
    const auto response = nx::sdk::makePtr<nx::sdk::SettingsResponse>();
    readLineCrossRules(session, response.get());
    readAreaRules(RuleKind::kEnterArea, session, response.get());
    readAreaRules(RuleKind::kLeaveArea, session, response.get());
    readAreaRules(RuleKind::kIntrusion, session, response.get());
    for (const RuleKind kind : kRuleTypeOrder)
        readRuleSwitch(session, kind, response.get());
    return response;
}

}  // namespace nx::vms_server_plugins::analytics::sample
