// The Camera SDK stand-in's C entry points: each forwards to the process's Simulator.

#include "camera_sdk/ostrel_sdk.h"

#include "ostrel_sdk/simulator.h"

namespace
{

ostrel::Simulator& sim()
{
    return ostrel::Simulator::instance();
}

using ostrel::control::RuleSetKind;

}  // namespace

extern "C"
{
    int32_t OSTREL_Init(void)
    {
        return sim().init();
    }

    int32_t OSTREL_GetLastError(void)
    {
        return sim().lastError();
    }

    void* OSTREL_Login(OstrelLoginRecord* login, OstrelLoginResult* result)
    {
        return sim().login(login, result);
    }

    int32_t OSTREL_Logout(void* handle)
    {
        return sim().logout(handle);
    }

    int32_t OSTREL_QueryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
    {
        return sim().queryChannelList(handle, count, channels);
    }

    int32_t OSTREL_GetDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                                   int32_t bufferSize, int32_t* bytesReturned)
    {
        return sim().getDeviceConfig(handle, channel, command, buffer, bufferSize, bytesReturned);
    }

    int32_t OSTREL_SetAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
    {
        return sim().setAlarmCallback(handle, callback, userData);
    }

    int32_t OSTREL_SetStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                         void* userData)
    {
        return sim().setStructDataCallback(handle, callback, userData);
    }

    int32_t OSTREL_Subscribe(void* handle, const OstrelSubscriptionRequest* request,
                             OstrelSubscriptionResult* result)
    {
        return sim().subscribe(handle, request, result);
    }

    int32_t OSTREL_Unsubscribe(void* handle, uint32_t id)
    {
        return sim().unsubscribe(handle, id);
    }

    int32_t OSTREL_GetLineCrossRules(void* handle, int32_t channel, LineRuleSet* rules)
    {
        return sim().getLineRules(handle, channel, rules);
    }

    int32_t OSTREL_SetLineCrossRules(void* handle, int32_t channel, LineRuleSet* rules)
    {
        return sim().setLineRules(handle, channel, rules);
    }

    int32_t OSTREL_GetIntrusionRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().getAreaRules(RuleSetKind::kIntrusion, handle, channel, rules);
    }

    int32_t OSTREL_SetIntrusionRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().setAreaRules(RuleSetKind::kIntrusion, handle, channel, rules);
    }

    int32_t OSTREL_GetEnterAreaRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().getAreaRules(RuleSetKind::kEnterArea, handle, channel, rules);
    }

    int32_t OSTREL_SetEnterAreaRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().setAreaRules(RuleSetKind::kEnterArea, handle, channel, rules);
    }

    int32_t OSTREL_GetLeaveAreaRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().getAreaRules(RuleSetKind::kLeaveArea, handle, channel, rules);
    }

    int32_t OSTREL_SetLeaveAreaRules(void* handle, int32_t channel, AreaRuleSet* rules)
    {
        return sim().setAreaRules(RuleSetKind::kLeaveArea, handle, channel, rules);
    }

    int32_t OSTREL_GetSmartRuleSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
    {
        return sim().getSwitches(handle, channel, switches);
    }

    int32_t OSTREL_SetSmartRuleSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
    {
        return sim().setSwitches(handle, channel, switches);
    }

    int32_t OSTREL_GetSmartRuleCombinations(void* handle, int32_t channel,
                                            RuleCombinationList* combinations)
    {
        return sim().getCombinations(handle, channel, combinations);
    }

}  // extern "C"
