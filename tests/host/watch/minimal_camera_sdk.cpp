// A Camera SDK library with nothing but the Camera SDK's entry points, standing in for the
// camera maker's library: it starts, reaches no camera and has no control interface. Built
// with KORVANE_LACK_COMBINATIONS it lacks its last entry point, as an incomplete library.

#include "camera_sdk/ostrel_sdk.h"

namespace
{

// What the last call left for OSTREL_GetLastError: the camera did not answer.
constexpr int32_t kNoCamera = 77;

}  // namespace

extern "C"
{
    int32_t OSTREL_Init(void)
    {
        return 1;
    }
    int32_t OSTREL_GetLastError(void)
    {
        return kNoCamera;
    }
    void* OSTREL_Login(OstrelLoginRecord*, OstrelLoginResult*)
    {
        return nullptr;
    }
    int32_t OSTREL_Logout(void*)
    {
        return 0;
    }
    int32_t OSTREL_QueryChannelList(void*, int32_t*, OstrelChannelRecord*)
    {
        return 0;
    }
    int32_t OSTREL_GetDeviceConfig(void*, int32_t, int32_t, void*, int32_t, int32_t*)
    {
        return 0;
    }
    int32_t OSTREL_SetAlarmCallback(void*, OstrelAlarmCallback, void*)
    {
        return 0;
    }
    int32_t OSTREL_SetStructDataCallback(void*, OstrelStructDataCallback, void*)
    {
        return 0;
    }
    int32_t OSTREL_Subscribe(void*, const OstrelSubscriptionRequest*, OstrelSubscriptionResult*)
    {
        return 0;
    }
    int32_t OSTREL_Unsubscribe(void*, uint32_t)
    {
        return 0;
    }
    int32_t OSTREL_GetLineCrossRules(void*, int32_t, LineRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_SetLineCrossRules(void*, int32_t, LineRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_GetIntrusionRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_SetIntrusionRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_GetEnterAreaRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_SetEnterAreaRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_GetLeaveAreaRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_SetLeaveAreaRules(void*, int32_t, AreaRuleSet*)
    {
        return 0;
    }
    int32_t OSTREL_GetSmartRuleSwitches(void*, int32_t, RuleSwitchList*)
    {
        return 0;
    }
    int32_t OSTREL_SetSmartRuleSwitches(void*, int32_t, RuleSwitchList*)
    {
        return 0;
    }
#if !defined(KORVANE_LACK_COMBINATIONS)
    int32_t OSTREL_GetSmartRuleCombinations(void*, int32_t, RuleCombinationList*)
    {
        return 0;
    }
#endif
}  // extern "C"
