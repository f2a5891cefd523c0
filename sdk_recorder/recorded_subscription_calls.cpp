// The recorded Camera SDK entry points that install callbacks and start or stop delivery:
// the callbacks go through the CallbackRelay, so that every delivery is recorded too.

#include "camera_sdk/ostrel_sdk.h"
#include "sdk_recorder/callback_relay.h"
#include "sdk_recorder/recorded_call.h"

using korvane::sdk_recorder::beginCall;
using korvane::sdk_recorder::CallbackRelay;
using korvane::sdk_recorder::MakerFunctions;
using korvane::sdk_recorder::Recorder;
using korvane::sdk_recorder::recordSessionCall;
using nx::kit::Json;

namespace
{

// Installs the relay in place of the caller's callback; removing (a null callback) is
// forwarded as it is. `add` registers the caller's callback, `install` forwards.
template <class Callback, class Add, class Install>
int32_t installThroughRelay(const MakerFunctions& maker, const char* op, void* handle,
                            Callback callback, const Add& add, const Install& install)
{
    void* key = nullptr;
    if (callback)
    {
        try
        {
            key = add(Recorder::instance().sessionNumber(handle));
        }
        catch (...)
        {
            return 0;
        }
    }
    const int32_t result = install(key);
    if (key && result == 0)
        CallbackRelay::instance().remove(key);
    recordSessionCall(maker, op, handle, result,
                      [&](Recorder&, Json::Object* record)
                      { (*record)["installed"] = Json(callback != nullptr); });
    return result;
}

}  // namespace

extern "C"
{
    int32_t OSTREL_SetAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        return installThroughRelay(
            *maker, "OSTREL_SetAlarmCallback", handle, callback,
            [&](int session)
            { return CallbackRelay::instance().addAlarm(handle, session, callback, userData); },
            [&](void* key)
            {
                return key ? maker->OSTREL_SetAlarmCallback(handle, &CallbackRelay::alarmRelay, key)
                           : maker->OSTREL_SetAlarmCallback(handle, nullptr, userData);
            });
    }

    int32_t OSTREL_SetStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                         void* userData)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        return installThroughRelay(
            *maker, "OSTREL_SetStructDataCallback", handle, callback,
            [&](int session) {
                return CallbackRelay::instance().addStructured(handle, session, callback, userData);
            },
            [&](void* key)
            {
                return key ? maker->OSTREL_SetStructDataCallback(
                                 handle, &CallbackRelay::structuredRelay, key)
                           : maker->OSTREL_SetStructDataCallback(handle, nullptr, userData);
            });
    }

    int32_t OSTREL_Subscribe(void* handle, const OstrelSubscriptionRequest* request,
                             OstrelSubscriptionResult* result)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t status = maker->OSTREL_Subscribe(handle, request, result);
        recordSessionCall(
            *maker, "OSTREL_Subscribe", handle, status,
            [&](Recorder& recorder, Json::Object* record)
            {
                if (request)
                {
                    (*record)["alarmTypes"] = Json(request->alarmTypes);
                    (*record)["structuredTypes"] = Json(request->structuredTypes);
                }
                if (status != 0 && result)
                {
                    const int session = recorder.sessionNumber(handle);
                    (*record)["out"] =
                        Json(Json::Object{{"subscription", Json(recorder.subscriptionNumber(
                                                               session, result->subscriptionId))}});
                }
            });
        return status;
    }

    int32_t OSTREL_Unsubscribe(void* handle, uint32_t id)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t result = maker->OSTREL_Unsubscribe(handle, id);
        recordSessionCall(*maker, "OSTREL_Unsubscribe", handle, result,
                          [&](Recorder& recorder, Json::Object* record)
                          {
                              const int session = recorder.sessionNumber(handle);
                              (*record)["subscription"] =
                                  Json(recorder.subscriptionNumber(session, id));
                          });
        return result;
    }
}  // extern "C"
