#include "rule_kind.h"

#include <cstring>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// Indexed by type code - 100.
const RuleKindInfo kRuleKinds[4] = {
    {RuleKind::kLineCross, "LineCrossed.IncludeArea", ".Points", "Cross Line-", "CrossLineEnable"},
    {RuleKind::kIntrusion, "Intrusion.IncludeArea", ".Figure", "Intrusion Area-",
     "IntrusionEnable"},
    {RuleKind::kEnterArea, "EnterArea.IncludeArea", ".Figure", "Enter Area-", "EnterAreaEnable"},
    {RuleKind::kLeaveArea, "LeaveArea.IncludeArea", ".Figure", "Leave Area-", "LeaveAreaEnable"},
};

}  // namespace

const RuleKindInfo& ruleKindInfo(RuleKind kind)
{
    return kRuleKinds[ruleTypeCode(kind) - ruleTypeCode(RuleKind::kLineCross)];
}

std::string ruleSettingKey(RuleKind kind, int number, const char* suffix)
{
    // Built in place: the settings path makes a hundred of these per delivery.
    const char* const prefix = ruleKindInfo(kind).settingPrefix;
    const std::string digits = std::to_string(number);
    std::string key;
    key.reserve(std::strlen(prefix) + digits.size() + std::strlen(suffix));
    key.append(prefix).append(digits).append(suffix);
    return key;
}

uint32_t ruleCapability(const RuleSession& session, RuleKind kind)
{
    switch (kind)
    {
        case RuleKind::kLineCross:
            return session.lineCrossCapability;
        case RuleKind::kIntrusion:
            return session.intrusionCapability;
        case RuleKind::kEnterArea:
            return session.enterAreaCapability;
        case RuleKind::kLeaveArea:
            return session.leaveAreaCapability;
    }
    return 0;
}

}  // namespace nx::vms_server_plugins::analytics::sample
