#include "rule_switches.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <vector>

#include <nx/kit/debug.h>

#include "plugin/boundary_guard.h"
#include "rule_set_sync.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// The codes of one list of a switch list or group, never more than its storage holds.
struct CodeRange
{
    const int32_t* codes;
    int32_t count;

    const int32_t* begin() const { return codes; }
    const int32_t* end() const { return codes + count; }
    bool contains(int32_t code) const { return std::find(begin(), end(), code) != end(); }
};

CodeRange codeRange(const int32_t* codes, int32_t count, int32_t capacity)
{
    if (!codes)
        return {codes, 0};
    return {codes, std::clamp(count, 0, capacity)};
}

CodeRange enabledCodes(const RuleSwitchList& list)
{
    return codeRange(list.enabledTypes, list.enabledCount, kOstrelSwitchListCapacity);
}

CodeRange disabledCodes(const RuleSwitchList& list)
{
    return codeRange(list.disabledTypes, list.disabledCount, kOstrelSwitchListCapacity);
}

// Appends a code to one list of the request; a full list takes no more codes.
void append(int32_t code, int32_t* count, int32_t* codes)
{
    if (*count < kOstrelSwitchListCapacity)
        codes[(*count)++] = code;
}

void appendAllExcept(CodeRange from, int32_t excluded, int32_t* count, int32_t* codes)
{
    for (const int32_t code : from)
    {
        if (code != excluded)
            append(code, count, codes);
    }
}

// The first group, in the camera's order, that holds `typeCode`; null when none does.
const CodeRange* findGroup(const std::vector<CodeRange>& groups, int32_t typeCode)
{
    for (const CodeRange& group : groups)
    {
        if (group.contains(typeCode))
            return &group;
    }
    return nullptr;
}

std::vector<CodeRange> groupRanges(const RuleCombinationList& combinations)
{
    std::vector<CodeRange> groups;
    if (!combinations.groups)
        return groups;
    const int32_t count = std::clamp(combinations.groupCount, 0, kOstrelCombinationCapacity);
    for (int32_t g = 0; g < count; ++g)
    {
        const RuleCombination& group = combinations.groups[g];
        groups.push_back(codeRange(group.types, group.typeCount, kOstrelCombinationTypeCapacity));
    }
    return groups;
}

void buildSwitchOff(const RuleSwitchList& current, int32_t typeCode, RuleSwitchList* request)
{
    const CodeRange enabled = enabledCodes(current);
    appendAllExcept(enabled, typeCode, &request->enabledCount, request->enabledTypes);
    for (const int32_t code : disabledCodes(current))
        append(code, &request->disabledCount, request->disabledTypes);
    if (enabled.contains(typeCode))
        append(typeCode, &request->disabledCount, request->disabledTypes);
}

void buildSwitchOn(const RuleSwitchList& current, int32_t typeCode,
                   const RuleCombinationList& combinations, RuleSwitchList* request)
{
    const std::vector<CodeRange> groups = groupRanges(combinations);
    const CodeRange* group = findGroup(groups, typeCode);
    if (group)
    {
        append(typeCode, &request->enabledCount, request->enabledTypes);
        for (const int32_t code : enabledCodes(current))
        {
            // The type itself already leads the switched-on list.
            if (code == typeCode)
                continue;
            if (group->contains(code))
                append(code, &request->enabledCount, request->enabledTypes);
            else
                append(code, &request->disabledCount, request->disabledTypes);
        }
    }
    appendAllExcept(disabledCodes(current), typeCode, &request->disabledCount,
                    request->disabledTypes);
}

// Reads the camera's switch lists into *switches; false when they cannot be read.
bool readSwitches(const RuleSession& session, RuleSwitchList* switches)
{
    return OSTREL_GetSmartRuleSwitches(session.handle, session.channel, switches) == 1;
}

// A switch request is built from the camera's lists: without them it would switch off
// every kind it does not name, so the camera keeps its switches instead.
constexpr const char* kSwitchesLeftUnchanged = "the camera's switches were left unchanged";

// Storage for the camera's groups of types that run together, with the capacities set.
class CombinationStorage
{
public:
    CombinationStorage()
    {
        for (int g = 0; g < kOstrelCombinationCapacity; ++g)
        {
            m_groups[g].typeCount = kOstrelCombinationTypeCapacity;
            m_groups[g].types = m_codes[g].data();
        }
        m_list.groupCount = kOstrelCombinationCapacity;
        m_list.groups = m_groups.data();
    }
    CombinationStorage(const CombinationStorage&) = delete;
    CombinationStorage& operator=(const CombinationStorage&) = delete;

    RuleCombinationList* list() { return &m_list; }

private:
    RuleCombinationList m_list{};
    std::array<RuleCombination, kOstrelCombinationCapacity> m_groups{};
    std::array<std::array<int32_t, kOstrelCombinationTypeCapacity>, kOstrelCombinationCapacity>
        m_codes{};
};

// The lists live on the stack (about 13 KiB together): a switch is written four times per
// settings delivery, and three heap blocks of this size each time cost more than the work.
void applyRuleSwitchOrThrow(const RuleSession& session, bool on, RuleKind kind)
{
    RuleSwitchList current{};
    if (!readSwitches(session, &current))
        return reportCameraFailure(session, kind, "read the switches", kSwitchesLeftUnchanged);
    CombinationStorage combinations;
    if (on &&
        OSTREL_GetSmartRuleCombinations(session.handle, session.channel, combinations.list()) != 1)
    {
        return reportCameraFailure(session, kind, "read the switch combinations",
                                   kSwitchesLeftUnchanged);
    }
    // A request for a type in no group would switch every type off and this one not on:
    // the camera keeps its switches instead (which is all that is asked when the type is on
    // already).
    if (on && !findGroup(groupRanges(*combinations.list()), ruleTypeCode(kind)))
    {
        if (enabledCodes(current).contains(ruleTypeCode(kind)))
            return;
        return reportNotSwitchedOn(
            kind, session,
            std::string("it is in none of the camera's combination groups, so ") +
                kSwitchesLeftUnchanged);
    }
    RuleSwitchList request;
    buildSwitchRequest(current, on, ruleTypeCode(kind), *combinations.list(), &request);
    if (OSTREL_SetSmartRuleSwitches(session.handle, session.channel, &request) != 1)
        reportCameraFailure(session, kind, "write the switches");
}

}  // namespace

void buildSwitchRequest(const RuleSwitchList& current, bool on, int32_t typeCode,
                        const RuleCombinationList& combinations, RuleSwitchList* request)
{
    *request = RuleSwitchList{};
    if (on)
        buildSwitchOn(current, typeCode, combinations, request);
    else
        buildSwitchOff(current, typeCode, request);
}

void readRuleSwitch(const RuleSession& session, RuleKind kind, nx::sdk::SettingsResponse* response)
{
    const auto read = [&]
    {
        RuleSwitchList switches{};
        // A switch that was not read is left out: "false" would switch it off when the
        // page is saved unchanged.
        if (!readSwitches(session, &switches))
            return reportCameraFailure(session, kind, "read the switches");
        const bool on = enabledCodes(switches).contains(ruleTypeCode(kind));
        response->setValue(ruleKindInfo(kind).switchKey, on ? "true" : "false");
    };
    std::string errorText;
    if (!runCatching(read, &errorText))
    {
        NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << "ERROR: Unable to read the rule switch "
                                           << ruleKindInfo(kind).switchKey << ": " << errorText;
    }
}

void applyRuleSwitch(const RuleSession& session, bool on, RuleKind kind)
{
    std::string errorText;
    if (!runCatching([&] { applyRuleSwitchOrThrow(session, on, kind); }, &errorText))
    {
        NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX)
            << "ERROR: Unable to switch the rule type " << ruleTypeCode(kind) << ": " << errorText;
    }
}

}  // namespace nx::vms_server_plugins::analytics::sample
