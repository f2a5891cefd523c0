// The recorded Camera SDK entry points of sessions, channels, configuration, callbacks and
// subscriptions: each forwards to the maker's library, then records the call.

#include <algorithm>
#include <cstdio>
#include <string>

#include "camera_sdk/ostrel_sdk.h"
#include "sdk_recorder/callback_relay.h"
#include "sdk_recorder/capture_records.h"
#include "sdk_recorder/recorded_call.h"

using korvane::sdk_recorder::beginCall;
using korvane::sdk_recorder::CallbackRelay;
using korvane::sdk_recorder::MakerFunctions;
using korvane::sdk_recorder::Recorder;
using korvane::sdk_recorder::recordSessionCall;
using korvane::sdk_recorder::takeSnapshot;
using nx::kit::Json;

namespace
{

// Loads the maker's library (or finds it loaded) and says on one line when that failed.
const MakerFunctions* loadForInit(std::string* target)
{
    std::string errorText;
    const MakerFunctions* const maker =
        korvane::sdk_recorder::loadMakerFunctions(target, &errorText);
    if (!maker)
    {
        std::fprintf(stderr, "korvane SDK recorder: %s; OSTREL_Init fails\n", errorText.c_str());
        std::fflush(stderr);
        takeSnapshot(
            [&]()
            {
                Recorder& recorder = Recorder::instance();
                Json::Object record = recorder.callRecord("OSTREL_Init");
                record["target"] = Json(*target);
                record["error"] = Json(errorText);
                record["result"] = Json(0);
                record["lastError"] = Json(korvane::sdk_recorder::kNoMakerLibrary);
                recorder.submit(
                    std::make_unique<korvane::sdk_recorder::JsonRecord>(Json(std::move(record))));
            });
    }
    return maker;
}

}  // namespace

extern "C"
{
    int32_t OSTREL_Init(void)
    {
        Recorder::forgetLastError();
        std::string target;
        const MakerFunctions* const maker = loadForInit(&target);
        if (!maker)
            return 0;
        const int32_t result = maker->OSTREL_Init();
        korvane::sdk_recorder::recordCall(*maker, "OSTREL_Init", result, result == 0,
                                          [&](Recorder&, Json::Object* record)
                                          { (*record)["target"] = Json(target); });
        return result;
    }

    int32_t OSTREL_GetLastError(void)
    {
        int32_t remembered = 0;
        const bool haveRemembered = Recorder::rememberedLastError(&remembered);
        const MakerFunctions* const maker = korvane::sdk_recorder::makerFunctions();
        if (!maker)
            return haveRemembered ? remembered : korvane::sdk_recorder::kNoMakerLibrary;
        const int32_t forwarded = maker->OSTREL_GetLastError();
        const int32_t result = haveRemembered ? remembered : forwarded;
        korvane::sdk_recorder::recordCall(*maker, "OSTREL_GetLastError", result, false,
                                          [](Recorder&, Json::Object*) {});
        return result;
    }

    void* OSTREL_Login(OstrelLoginRecord* login, OstrelLoginResult* result)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return nullptr;
        Json::Object request;
        takeSnapshot(
            [&]()
            {
                if (login)
                    korvane::sdk_recorder::addLoginRequest(*login, &request);
            });
        void* const handle = maker->OSTREL_Login(login, result);
        int session = 0;
        takeSnapshot([&]() { session = Recorder::instance().newSessionNumber(handle); });
        korvane::sdk_recorder::recordCall(
            *maker, "OSTREL_Login", session, handle == nullptr,
            [&](Recorder&, Json::Object* record)
            {
                record->insert(request.begin(), request.end());
                if (handle && result)
                    (*record)["out"] = korvane::sdk_recorder::loginResultJson(*result);
                (*record)["session"] = Json(session);
            });
        return handle;
    }

    int32_t OSTREL_Logout(void* handle)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t result = maker->OSTREL_Logout(handle);
        if (result != 0)
            CallbackRelay::instance().removeSession(handle);
        recordSessionCall(*maker, "OSTREL_Logout", handle, result, [](Recorder&, Json::Object*) {});
        if (result != 0)
            Recorder::instance().forgetSession(handle);
        return result;
    }

    int32_t OSTREL_QueryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t capacity = count ? *count : 0;
        const int32_t result = maker->OSTREL_QueryChannelList(handle, count, channels);
        recordSessionCall(
            *maker, "OSTREL_QueryChannelList", handle, result,
            [&](Recorder&, Json::Object* record)
            {
                (*record)["capacity"] = Json(capacity);
                const int32_t filled = count ? std::min(*count, capacity) : 0;
                (*record)["out"] = Json(Json::Object{
                    {"count", Json(count ? *count : 0)},
                    {"channels", korvane::sdk_recorder::channelListJson(channels, filled)}});
            });
        return result;
    }

    int32_t OSTREL_GetDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                                   int32_t bufferSize, int32_t* bytesReturned)
    {
        const MakerFunctions* const maker = beginCall();
        if (!maker)
            return 0;
        const int32_t result = maker->OSTREL_GetDeviceConfig(handle, channel, command, buffer,
                                                             bufferSize, bytesReturned);
        recordSessionCall(*maker, "OSTREL_GetDeviceConfig", handle, result,
                          [&](Recorder&, Json::Object* record)
                          {
                              (*record)["channel"] = Json(channel);
                              (*record)["command"] = Json(command);
                              (*record)["bufferSize"] = Json(bufferSize);
                              const int32_t returned = bytesReturned ? *bytesReturned : bufferSize;
                              Json::Object out =
                                  korvane::sdk_recorder::deviceConfigJson(
                                      command, buffer, result ? std::min(returned, bufferSize) : 0)
                                      .objectItems();
                              out["bytesReturned"] = Json(bytesReturned ? *bytesReturned : 0);
                              (*record)["out"] = Json(std::move(out));
                          });
        return result;
    }
}  // extern "C"
