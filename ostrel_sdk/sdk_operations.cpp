// The OSTREL_ operations of the Camera SDK stand-in, as a camera answers them.

#include "ostrel_sdk/sdk_operations.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ostrel_sdk/channel_records.h"

namespace ostrel
{

using control::ChannelConfig;
using control::Operation;
using control::RuleSetKind;

namespace
{

// Copies a NUL-terminated text of at most `size` bytes out of a fixed field.
std::string fieldText(const char* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

}  // namespace

bool SdkOperations::cameraFails(Operation operation, Camera* camera, const Session* session)
{
    if (!camera)
        return false;
    const int call = ++camera->calls[static_cast<int>(operation)];
    for (const control::CameraFailure& failure : camera->config.failures)
    {
        if (failure.operation == operation && failure.call == call)
            return fail(failure.error), true;
    }
    if (camera->away)
        return fail(control::kErrorNoAnswer), true;
    if (session && session->dead && operation != Operation::kLogout)
        return fail(control::kErrorInvalidHandle), true;
    return false;
}

Camera* SdkOperations::findCamera(Operation operation, void* handle)
{
    Session* session = m_sessions.find(handle);
    if (!session)
        return nullptr;
    Camera* camera = m_cameras.find(session->camera);
    if (!camera)
        fail(control::kErrorUnknownDevice);
    return cameraFails(operation, camera, session) ? nullptr : camera;
}

Session* SdkOperations::findSession(Operation operation, void* handle)
{
    Session* session = m_sessions.find(handle);
    if (!session || cameraFails(operation, m_cameras.find(session->camera), session))
        return nullptr;
    return session;
}

ChannelConfig* SdkOperations::enterChannel(Operation operation, void* handle, int32_t channel,
                                           const void* record)
{
    if (!m_calls.enter(operation))
        return nullptr;
    m_calls.recordChannel(channel);
    Camera* camera = findCamera(operation, handle);
    if (!camera)
        return nullptr;
    if (!record)
    {
        fail(control::kErrorInvalidArgument);
        return nullptr;
    }
    const auto it = camera->config.channels.find(channel);
    if (it == camera->config.channels.end())
    {
        fail(control::kErrorNoSuchChannel);
        return nullptr;
    }
    return &it->second;
}

int32_t SdkOperations::init()
{
    return m_calls.enter(Operation::kInit) ? succeed() : 0;
}

int32_t SdkOperations::lastError()
{
    m_calls.count(Operation::kGetLastError);
    return lastErrorOfThisThread();
}

void* SdkOperations::login(const OstrelLoginRecord* login, OstrelLoginResult* result)
{
    if (login)
        m_calls.recordLogin(*login);
    if (!m_calls.enter(Operation::kLogin))
        return nullptr;
    if (!login || !result)
        return fail(control::kErrorInvalidArgument), nullptr;
    control::CameraId id = 0;
    Camera* camera =
        m_cameras.findAt(fieldText(login->address, sizeof login->address), login->port, &id);
    if (!camera)
        return fail(control::kErrorUnknownDevice), nullptr;
    if (cameraFails(Operation::kLogin, camera, nullptr))
        return nullptr;
    const control::CameraConfig& config = camera->config;
    if (config.loginName != fieldText(login->loginName, sizeof login->loginName) ||
        (!config.anyPassword &&
         config.password != fieldText(login->password, sizeof login->password)))
        return fail(control::kErrorBadCredentials), nullptr;
    const Session& session = m_sessions.open(id);
    std::snprintf(result->serialNumber, sizeof result->serialNumber, "OSTREL-SIM-%d", id);
    result->channelCount = config.channelCount;
    succeed();
    return handleOf(session.handleValue);
}

int32_t SdkOperations::logout(void* handle)
{
    if (!m_calls.enter(Operation::kLogout))
        return 0;
    Session* session = m_sessions.find(handle);
    if (!session)
        return 0;
    Camera* camera = m_cameras.find(session->camera);
    const bool failed = cameraFails(Operation::kLogout, camera, session);
    // The SDK frees its side of a session whose camera does not answer all the same.
    if (failed && !camera->away)
        return 0;
    m_sessions.close(session);
    return failed ? 0 : succeed();
}

int32_t SdkOperations::queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
{
    if (!m_calls.enter(Operation::kQueryChannelList))
        return 0;
    const Camera* camera = findCamera(Operation::kQueryChannelList, handle);
    if (!camera)
        return 0;
    if (!count || (*count > 0 && !channels))
        return fail(control::kErrorInvalidArgument);
    const int32_t n = std::max(0, std::min(*count, camera->config.channelCount));
    for (int32_t i = 0; i < n; ++i)
    {
        channels[i] = OstrelChannelRecord{};
        channels[i].channel = i;
        std::snprintf(channels[i].name, sizeof channels[i].name, "Channel %d", i);
        channels[i].online = 1;
    }
    *count = n;
    return succeed();
}

int32_t SdkOperations::getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                                       int32_t bufferSize, int32_t* bytesReturned)
{
    const ChannelConfig* config =
        enterChannel(Operation::kGetDeviceConfig, handle, channel, buffer);
    if (!config)
        return 0;
    if (command != kOstrelConfigSmartCapabilities)
        return fail(control::kErrorUnknownCommand);
    if (bufferSize < kOstrelConfigBufferSize)
        return fail(control::kErrorBufferTooSmall);
    readCapabilities(*config, buffer);
    if (bytesReturned)
        *bytesReturned = kOstrelConfigBufferSize;
    return succeed();
}

int32_t SdkOperations::setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
{
    if (!m_calls.enter(Operation::kSetAlarmCallback))
        return 0;
    Session* session = findSession(Operation::kSetAlarmCallback, handle);
    if (!session)
        return 0;
    session->alarmCallback = callback;
    session->alarmUserData = userData;
    return succeed();
}

int32_t SdkOperations::setStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                             void* userData)
{
    if (!m_calls.enter(Operation::kSetStructDataCallback))
        return 0;
    Session* session = findSession(Operation::kSetStructDataCallback, handle);
    if (!session)
        return 0;
    session->structCallback = callback;
    session->structUserData = userData;
    return succeed();
}

int32_t SdkOperations::subscribe(void* handle, const OstrelSubscriptionRequest* request,
                                 OstrelSubscriptionResult* result)
{
    if (request)
        m_calls.recordSubscription(*request);
    if (!m_calls.enter(Operation::kSubscribe))
        return 0;
    Session* session = findSession(Operation::kSubscribe, handle);
    if (!session)
        return 0;
    if (!request || !result)
        return fail(control::kErrorInvalidArgument);
    session->subscribed = true;
    session->subscriptionId = m_nextSubscriptionId++;
    result->subscriptionId = session->subscriptionId;
    return succeed();
}

int32_t SdkOperations::unsubscribe(void* handle, uint32_t id)
{
    m_calls.recordUnsubscribeId(id);
    if (!m_calls.enter(Operation::kUnsubscribe))
        return 0;
    Session* session = findSession(Operation::kUnsubscribe, handle);
    if (!session)
        return 0;
    if (!session->subscribed || session->subscriptionId != id)
        return fail(control::kErrorInvalidArgument);
    session->subscribed = false;
    return succeed();
}

int32_t SdkOperations::getLineRules(void* handle, int32_t channel, LineRuleSet* rules)
{
    const ChannelConfig* config =
        enterChannel(Operation::kGetLineCrossRules, handle, channel, rules);
    if (!config)
        return 0;
    readRules(config->lineCrossRules, rules);
    return succeed();
}

int32_t SdkOperations::setLineRules(void* handle, int32_t channel, const LineRuleSet* rules)
{
    ChannelConfig* config = enterChannel(Operation::kSetLineCrossRules, handle, channel, rules);
    if (!config)
        return 0;
    config->lineCrossRules = writtenRules(*rules);
    m_calls.recordLineRules(config->lineCrossRules);
    return succeed();
}

int32_t SdkOperations::getAreaRules(RuleSetKind kind, void* handle, int32_t channel,
                                    AreaRuleSet* rules)
{
    ChannelConfig* config = enterChannel(areaOperation(kind, false), handle, channel, rules);
    if (!config)
        return 0;
    readRules(areaRulesOf(*config, kind), rules);
    return succeed();
}

int32_t SdkOperations::setAreaRules(RuleSetKind kind, void* handle, int32_t channel,
                                    const AreaRuleSet* rules)
{
    ChannelConfig* config = enterChannel(areaOperation(kind, true), handle, channel, rules);
    if (!config)
        return 0;
    control::AreaRules& stored = areaRulesOf(*config, kind);
    stored = writtenRules(*rules);
    m_calls.recordAreaRules(kind, stored);
    return succeed();
}

int32_t SdkOperations::getSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
{
    const ChannelConfig* config =
        enterChannel(Operation::kGetSmartRuleSwitches, handle, channel, switches);
    if (!config)
        return 0;
    readSwitches(*config, switches);
    return succeed();
}

int32_t SdkOperations::setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches)
{
    ChannelConfig* config =
        enterChannel(Operation::kSetSmartRuleSwitches, handle, channel, switches);
    if (!config)
        return 0;
    m_calls.recordSwitches(*switches);
    writeSwitches(*switches, config);
    return succeed();
}

int32_t SdkOperations::getCombinations(void* handle, int32_t channel, RuleCombinationList* list)
{
    const ChannelConfig* config =
        enterChannel(Operation::kGetSmartRuleCombinations, handle, channel, list);
    if (!config)
        return 0;
    readCombinations(*config, list);
    return succeed();
}

void SdkOperations::clear()
{
    m_nextSubscriptionId = 1;
}

}  // namespace ostrel
