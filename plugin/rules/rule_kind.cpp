#include "rule_kind.h"

#include <utility>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// Indexed by type code - 100. The one place that spells the settings of each kind: the
// rule readers and writers, the engine manifest's rule sections and the test and benchmark
// settings all take them from here.
const RuleKindInfo kRuleKinds[4] = {
    {RuleKind::kLineCross,
     "line-crossing",
     "LineCrossed.IncludeArea",
     kPointsSuffix,
     "Cross Line-",
     "CrossLineEnable",
     /*hasTimeThreshold*/ false,
     {"LineCrossedSections", "Cross Line ", "Cross Line", kEnableSuffix, RuleFigureType::kLine,
      /*priorityFirst*/ true}},
    {RuleKind::kIntrusion,
     "intrusion",
     "Intrusion.IncludeArea",
     kFigureSuffix,
     "Intrusion Area-",
     "IntrusionEnable",
     /*hasTimeThreshold*/ true,
     {nullptr, "Intrusion", "Intrusion", kFigureSuffix, RuleFigureType::kPolygon,
      /*priorityFirst*/ false}},
    {RuleKind::kEnterArea,
     "area-entering",
     "EnterArea.IncludeArea",
     kFigureSuffix,
     "Enter Area-",
     "EnterAreaEnable",
     /*hasTimeThreshold*/ false,
     {nullptr, "Enter Area", "Enter Area", kFigureSuffix, RuleFigureType::kPolygon,
      /*priorityFirst*/ false}},
    {RuleKind::kLeaveArea,
     "area-leaving",
     "LeaveArea.IncludeArea",
     kFigureSuffix,
     "Leave Area-",
     "LeaveAreaEnable",
     /*hasTimeThreshold*/ false,
     {nullptr, "Leave Area", "Leave Area", kFigureSuffix, RuleFigureType::kPolygon,
      /*priorityFirst*/ false}},
};

}  // namespace

const RuleKindInfo& ruleKindInfo(RuleKind kind)
{
    return kRuleKinds[ruleTypeCode(kind) - ruleTypeCode(RuleKind::kLineCross)];
}

std::string ruleSettingKey(RuleKind kind, int number, const char* suffix)
{
    RuleSettingKeys keys(kind);
    keys.selectRule(number);
    return std::move(keys).takeKey(suffix);
}

RuleSettingKeys::RuleSettingKeys(RuleKind kind)
{
    // Room for a rule number and the longest suffix, ".Non-motor-vehicle", without growing.
    m_key.reserve(48);
    m_key.append(ruleKindInfo(kind).settingPrefix);
    m_prefixSize = m_key.size();
    selectRule(1);
}

void RuleSettingKeys::selectRule(int number)
{
    m_key.resize(m_prefixSize);
    m_key.append(std::to_string(number));
    m_stemSize = m_key.size();
}

const std::string& RuleSettingKeys::key(const char* suffix)
{
    m_key.resize(m_stemSize);
    m_key.append(suffix);
    return m_key;
}

std::string RuleSettingKeys::takeKey(const char* suffix) &&
{
    key(suffix);
    return std::move(m_key);
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
