// Copies between a simulated channel's stored configuration and the Camera SDK's records.

#include "ostrel_sdk/channel_records.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ostrel
{

using control::ChannelConfig;
using control::Operation;
using control::RuleSetKind;

namespace
{

size_t countOf(int32_t value)
{
    return value > 0 ? static_cast<size_t>(value) : 0;
}

template <typename Rule>
void readRule(const control::RuleEntry<Rule>& entry, Rule* out)
{
    ObjectFilter* const storage = out->filters;
    const int32_t capacity = out->filterCount;
    *out = entry.rule;
    out->filters = storage;
    const size_t n = storage ? std::min(countOf(capacity), entry.filters.size()) : 0;
    std::copy_n(entry.filters.begin(), n, storage);
    out->filterCount =
        entry.reportedFilterCount >= 0 ? entry.reportedFilterCount : static_cast<int32_t>(n);
}

template <typename Rule, typename RuleSet>
void readRuleList(const control::RuleList<Rule>& stored, RuleSet* out)
{
    out->ruleCount = stored.ruleCount;
    const size_t n = std::min(
        {static_cast<size_t>(kOstrelRuleSlots), countOf(stored.ruleCount), stored.rules.size()});
    for (size_t i = 0; i < n; ++i)
        readRule(stored.rules[i], &out->rules[i]);
}

template <typename Rule, typename RuleSet>
control::RuleList<Rule> writtenRuleList(const RuleSet& in)
{
    control::RuleList<Rule> list;
    list.ruleCount = in.ruleCount;
    const size_t n = std::min(static_cast<size_t>(kOstrelRuleSlots), countOf(in.ruleCount));
    for (size_t i = 0; i < n; ++i)
    {
        control::RuleEntry<Rule> entry;
        entry.rule = in.rules[i];
        entry.rule.filters = nullptr;
        const ObjectFilter* filters = in.rules[i].filters;
        const size_t k = filters ? std::min(countOf(in.rules[i].filterCount),
                                            static_cast<size_t>(kOstrelFilterCapacity))
                                 : 0;
        entry.filters.assign(filters, filters + k);
        list.rules.push_back(std::move(entry));
    }
    return list;
}

void putCodes(const std::vector<int32_t>& codes, int32_t* count, int32_t* slots)
{
    const size_t n = std::min(codes.size(), static_cast<size_t>(kOstrelSwitchListCapacity));
    std::copy_n(codes.begin(), n, slots);
    *count = static_cast<int32_t>(n);
}

std::vector<int32_t> takeCodes(int32_t count, const int32_t* slots)
{
    const size_t n = std::min(countOf(count), static_cast<size_t>(kOstrelSwitchListCapacity));
    return std::vector<int32_t>(slots, slots + n);
}

void putCapability(uint8_t* block, int32_t offset, uint32_t value)
{
    std::memcpy(block + offset, &value, sizeof value);
}

}  // namespace

control::AreaRules& areaRulesOf(ChannelConfig& channel, RuleSetKind kind)
{
    switch (kind)
    {
        case RuleSetKind::kIntrusion:
            return channel.intrusionRules;
        case RuleSetKind::kEnterArea:
            return channel.enterAreaRules;
        default:
            return channel.leaveAreaRules;
    }
}

Operation areaOperation(RuleSetKind kind, bool write)
{
    switch (kind)
    {
        case RuleSetKind::kIntrusion:
            return write ? Operation::kSetIntrusionRules : Operation::kGetIntrusionRules;
        case RuleSetKind::kEnterArea:
            return write ? Operation::kSetEnterAreaRules : Operation::kGetEnterAreaRules;
        default:
            return write ? Operation::kSetLeaveAreaRules : Operation::kGetLeaveAreaRules;
    }
}

void readRules(const control::LineRules& stored, LineRuleSet* out)
{
    readRuleList(stored, out);
}

void readRules(const control::AreaRules& stored, AreaRuleSet* out)
{
    readRuleList(stored, out);
}

control::LineRules writtenRules(const LineRuleSet& in)
{
    return writtenRuleList<LineRule>(in);
}

control::AreaRules writtenRules(const AreaRuleSet& in)
{
    return writtenRuleList<AreaRule>(in);
}

void readCapabilities(const ChannelConfig& channel, void* block)
{
    uint8_t* const bytes = static_cast<uint8_t*>(block);
    std::memset(bytes, 0, kOstrelConfigBufferSize);
    putCapability(bytes, kOstrelIntrusionCapabilityOffset, channel.intrusionCapability);
    putCapability(bytes, kOstrelLineCrossCapabilityOffset, channel.lineCrossCapability);
    putCapability(bytes, kOstrelEnterAreaCapabilityOffset, channel.enterAreaCapability);
    putCapability(bytes, kOstrelLeaveAreaCapabilityOffset, channel.leaveAreaCapability);
}

void readSwitches(const ChannelConfig& channel, RuleSwitchList* out)
{
    putCodes(channel.enabledTypes, &out->enabledCount, out->enabledTypes);
    putCodes(channel.disabledTypes, &out->disabledCount, out->disabledTypes);
}

void writeSwitches(const RuleSwitchList& in, ChannelConfig* channel)
{
    channel->enabledTypes = takeCodes(in.enabledCount, in.enabledTypes);
    channel->disabledTypes = takeCodes(in.disabledCount, in.disabledTypes);
}

void readCombinations(const ChannelConfig& channel, RuleCombinationList* out)
{
    const size_t groups =
        out->groups ? std::min(countOf(out->groupCount), channel.combinations.size()) : 0;
    for (size_t g = 0; g < groups; ++g)
    {
        RuleCombination& group = out->groups[g];
        const std::vector<int32_t>& codes = channel.combinations[g];
        const size_t n = group.types ? std::min(countOf(group.typeCount), codes.size()) : 0;
        std::copy_n(codes.begin(), n, group.types);
        group.typeCount = static_cast<int32_t>(n);
    }
    out->groupCount = static_cast<int32_t>(groups);
}

}  // namespace ostrel
