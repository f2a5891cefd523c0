// The recorded Camera SDK entry points of smart rules, switches and combinations: each
// forwards to the maker's library, then records the call with the records decoded.

#include "camera_sdk/ostrel_sdk.h"
#include "sdk_recorder/capture_records.h"
#include "sdk_recorder/recorded_call.h"

using korvane::sdk_recorder::beginCall;
using korvane::sdk_recorder::FilterCapacities;
using korvane::sdk_recorder::filterCapacitiesOf;
using korvane::sdk_recorder::MakerFunctions;
using korvane::sdk_recorder::Recorder;
using korvane::sdk_recorder::recordSessionCall;
using korvane::sdk_recorder::takeSnapshot;
using nx::kit::Json;

namespace
{

Json ruleSetJson(const LineRuleSet& rules, const FilterCapacities& capacities)
{
    return korvane::sdk_recorder::lineRuleSetJson(rules, capacities);
}

Json ruleSetJson(const AreaRuleSet& rules, const FilterCapacities& capacities)
{
    return korvane::sdk_recorder::areaRuleSetJson(rules, capacities);
}

// A rule read: the filter room the caller made is taken before the call, the rules after.
template <class RuleSet>
int32_t getRules(const MakerFunctions& maker, int32_t (*call)(void*, int32_t, RuleSet*),
                 const char* op, void* handle, int32_t channel, RuleSet* rules)
{
    FilterCapacities capacities;
    takeSnapshot(
        [&]()
        {
            if (rules)
                capacities = filterCapacitiesOf(*rules);
        });
    const int32_t result = call(handle, channel, rules);
    recordSessionCall(maker, op, handle, result,
                      [&](Recorder&, Json::Object* record)
                      {
                          (*record)["channel"] = Json(channel);
                          if (rules && result != 0)
                              (*record)["out"] = ruleSetJson(*rules, capacities);
                      });
    return result;
}

// A rule write: the rules are read before the call, as the caller gave them.
template <class RuleSet>
int32_t setRules(const MakerFunctions& maker, int32_t (*call)(void*, int32_t, RuleSet*),
                 const char* op, void* handle, int32_t channel, RuleSet* rules)
{
    Json written;
    takeSnapshot(
        [&]()
        {
            if (rules)
                written = ruleSetJson(*rules, filterCapacitiesOf(*rules));
        });
    const int32_t result = call(handle, channel, rules);
    recordSessionCall(maker, op, handle, result,
                      [&](Recorder&, Json::Object* record)
                      {
                          (*record)["channel"] = Json(channel);
                          (*record)["rules"] = written;
                      });
    return result;
}

}  // namespace

// One entry point per rule read or write, forwarded to the maker's entry point of that name.
#define KORVANE_RECORDED_RULE_CALL(name, helper, RuleSet)                              \
    int32_t name(void* handle, int32_t channel, RuleSet* rules)                        \
    {                                                                                  \
        const MakerFunctions* const maker = beginCall();                               \
        return maker ? helper(*maker, maker->name, #name, handle, channel, rules) : 0; \
    }

extern "C"
{
    KORVANE_RECORDED_RULE_CALL(OSTREL_GetLineCrossRules, getRules, LineRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_SetLineCrossRules, setRules, LineRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_GetIntrusionRules, getRules, AreaRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_SetIntrusionRules, setRules, AreaRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_GetEnterAreaRules, getRules, AreaRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_SetEnterAreaRules, setRules, AreaRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_GetLeaveAreaRules, getRules, AreaRuleSet)
    KORVANE_RECORDED_RULE_CALL(OSTREL_SetLeaveAreaRules, setRules, AreaRuleSet)

    int32_t OSTREL_GetSmartRuleSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t result = maker->OSTREL_GetSmartRuleSwitches(handle, channel, switches);
        recordSessionCall(*maker, "OSTREL_GetSmartRuleSwitches", handle, result,
                          [&](Recorder&, Json::Object* record)
                          {
                              (*record)["channel"] = Json(channel);
                              if (switches && result != 0)
                                  (*record)["out"] =
                                      korvane::sdk_recorder::switchListJson(*switches);
                          });
        return result;
    }

    int32_t OSTREL_SetSmartRuleSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        Json written;
        takeSnapshot(
            [&]()
            {
                if (switches)
                    written = korvane::sdk_recorder::switchListJson(*switches);
            });
        const int32_t result = maker->OSTREL_SetSmartRuleSwitches(handle, channel, switches);
        recordSessionCall(*maker, "OSTREL_SetSmartRuleSwitches", handle, result,
                          [&](Recorder&, Json::Object* record)
                          {
                              (*record)["channel"] = Json(channel);
                              (*record)["switches"] = written;
                          });
        return result;
    }

    int32_t OSTREL_GetSmartRuleCombinations(void* handle, int32_t channel,
                                            RuleCombinationList* combinations)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        korvane::sdk_recorder::CombinationCapacities capacities;
        takeSnapshot(
            [&]()
            {
                if (combinations)
                    capacities = korvane::sdk_recorder::combinationCapacitiesOf(*combinations);
            });
        const int32_t result =
            maker->OSTREL_GetSmartRuleCombinations(handle, channel, combinations);
        recordSessionCall(*maker, "OSTREL_GetSmartRuleCombinations", handle, result,
                          [&](Recorder&, Json::Object* record)
                          {
                              (*record)["channel"] = Json(channel);
                              (*record)["groupCapacity"] = Json(capacities.groups);
                              if (combinations && result != 0)
                              {
                                  (*record)["out"] = korvane::sdk_recorder::combinationListJson(
                                      *combinations, capacities);
                              }
                          });
        return result;
    }
}  // extern "C"
