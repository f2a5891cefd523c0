#include "camera_session.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <nx/kit/debug.h>

#include "agent_registry.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// Copies `text` into a fixed text field, cut to fit with its terminating NUL.
template <size_t kSize>
void copyText(char (&field)[kSize], const std::string& text)
{
    const size_t length = std::min(text.size(), kSize - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

uint32_t readUint32(const std::vector<uint8_t>& buffer, int32_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, buffer.data() + offset, sizeof(value));
    return value;
}

bool isCancelled(const std::atomic<bool>* cancelled)
{
    return cancelled && cancelled->load();
}

// Whether the camera answers its channel list; the count of channels it reports goes to
// *channelCount.
bool queryChannels(void* handle, int32_t* channelCount)
{
    // Only the count is read. The records (21 KiB) stay on the stack and are not cleared:
    // a heap block of this size, cleared and freed, was the dearest part of opening.
    *channelCount = kOstrelChannelCapacity;
    OstrelChannelRecord channels[kOstrelChannelCapacity];
    return OSTREL_QueryChannelList(handle, channelCount, channels) == 1;
}

const char* closingConsequence(CameraSession::Closing why)
{
    switch (why)
    {
        case CameraSession::Closing::kRelease:
            return "; the device agent is released all the same.";
        case CameraSession::Closing::kRetry:
            return "; the next attempt goes on all the same.";
        case CameraSession::Closing::kLost:
            return "; the lost session is given up all the same.";
    }
    return ".";
}

}  // namespace

CameraSession::CameraSession(DeviceAgent* agent, Callbacks callbacks, CameraLogin login,
                             std::string printPrefix)
    : m_agent(agent),
      m_callbacks(callbacks),
      m_login(std::move(login)),
      m_printPrefix(std::move(printPrefix)),
      m_cameraAddress(m_login.host + ":" + std::to_string(m_login.port))
{
}

CameraSession::Opening CameraSession::open(const std::atomic<bool>* cancelled)
{
    Opening opening;
    OstrelLoginRecord loginRecord{};
    copyText(loginRecord.address, m_login.host);
    loginRecord.port = m_login.port;
    copyText(loginRecord.loginName, m_login.loginName);
    copyText(loginRecord.password, m_login.password);
    OstrelLoginResult loginResult{};
    void* const handle = OSTREL_Login(&loginRecord, &loginResult);
    if (!handle)
    {
        opening.failure = Failure{"login", OSTREL_GetLastError()};
        return opening;
    }
    {
        const korvane::port::MutexLock lock(&m_mutex);
        m_state.handle = handle;
    }
    opening.failure = prepare(handle, &opening, cancelled);
    return opening;
}

std::optional<CameraSession::Failure> CameraSession::prepare(void* handle, Opening* opening,
                                                             const std::atomic<bool>* cancelled)
{
    const auto cancel = [&] { return opening->cancelled = isCancelled(cancelled); };
    int32_t channelCount = 0;
    if (cancel())
        return std::nullopt;
    if (!queryChannels(handle, &channelCount))
        return Failure{"channel list", OSTREL_GetLastError()};
    const int32_t channel = channelCount > 1 ? m_login.deviceChannel + 1 : m_login.deviceChannel;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        m_state.channel = channel;
    }
    if (cancel())
        return std::nullopt;
    opening->capabilitiesError = readCapabilities(handle, channel);
    if (cancel())
        return std::nullopt;
    opening->alarmCallbackError = installAlarmCallback(handle);
    if (cancel())
        return std::nullopt;
    if (OSTREL_SetStructDataCallback(handle, m_callbacks.structuredData, nullptr) != 1)
        return Failure{"structured-data callback", OSTREL_GetLastError()};

    OstrelSubscriptionRequest request{};
    request.alarmTypes = kOstrelSubscribeAllAlarms;
    request.structuredTypes = kOstrelSubscribeAllStructured;
    OstrelSubscriptionResult result{};
    if (cancel())
        return std::nullopt;
    if (OSTREL_Subscribe(handle, &request, &result) != 1)
        return Failure{"subscription", OSTREL_GetLastError()};
    {
        const korvane::port::MutexLock lock(&m_mutex);
        m_state.subscribed = true;
        m_state.subscriptionId = result.subscriptionId;
    }
    if (cancel())
        return std::nullopt;
    // Entered only now, with the session fully open: no callback sees a half-built session.
    // A failed entry (an allocation) throws with neither registry holding the agent.
    enterBoth(&structuredDataRegistry(), &alarmRegistry(), m_agent, handle);
    const korvane::port::MutexLock lock(&m_mutex);
    m_state.delivering = true;
    opening->delivering = true;
    return std::nullopt;
}

std::optional<int32_t> CameraSession::readCapabilities(void* handle, int32_t channel)
{
    std::vector<uint8_t> config(kOstrelConfigBufferSize);
    int32_t bytesReturned = 0;
    const bool read =
        OSTREL_GetDeviceConfig(handle, channel, kOstrelConfigSmartCapabilities, config.data(),
                               kOstrelConfigBufferSize, &bytesReturned) != 0;
    const std::optional<int32_t> error =
        read ? std::nullopt : std::optional<int32_t>(OSTREL_GetLastError());
    const korvane::port::MutexLock lock(&m_mutex);
    m_state.capabilitiesError = error;
    if (read)
    {
        m_state.intrusionCapability = readUint32(config, kOstrelIntrusionCapabilityOffset);
        m_state.lineCrossCapability = readUint32(config, kOstrelLineCrossCapabilityOffset);
        m_state.enterAreaCapability = readUint32(config, kOstrelEnterAreaCapabilityOffset);
        m_state.leaveAreaCapability = readUint32(config, kOstrelLeaveAreaCapabilityOffset);
    }
    return error;
}

std::optional<int32_t> CameraSession::installAlarmCallback(void* handle)
{
    const bool installed = OSTREL_SetAlarmCallback(handle, m_callbacks.alarm, nullptr) == 1;
    const std::optional<int32_t> error =
        installed ? std::nullopt : std::optional<int32_t>(OSTREL_GetLastError());
    const korvane::port::MutexLock lock(&m_mutex);
    m_state.alarmCallbackMissing = !installed;
    return error;
}

CameraSession::Repair CameraSession::repair(const std::atomic<bool>* cancelled)
{
    State state;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        state = m_state;
    }
    Repair repair;
    if (!state.delivering)
        return repair;
    if (state.capabilitiesError && !isCancelled(cancelled))
    {
        repair.capabilitiesError = readCapabilities(state.handle, state.channel);
        repair.capabilitiesRead = !repair.capabilitiesError;
    }
    if (state.alarmCallbackMissing && !isCancelled(cancelled))
    {
        repair.alarmCallbackError = installAlarmCallback(state.handle);
        repair.alarmCallbackInstalled = !repair.alarmCallbackError;
    }
    return repair;
}

bool CameraSession::check(int32_t* lastError)
{
    void* handle = nullptr;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        if (!m_state.delivering)
            return true;
        handle = m_state.handle;
    }
    int32_t channelCount = 0;
    if (queryChannels(handle, &channelCount))
        return true;
    *lastError = OSTREL_GetLastError();
    return false;
}

void CameraSession::close(Closing why)
{
    State state;
    {
        // Waits for a host call that uses the session; later ones see none.
        const korvane::port::MutexLock lock(&m_mutex);
        state = m_state;
        m_state = State();
    }
    // Out of the registries first, so that no late notification of the session reaches the
    // agent once it is closed.
    alarmRegistry().remove(m_agent);
    structuredDataRegistry().remove(m_agent);
    if (!state.handle)
        return;
    const char* const consequence = closingConsequence(why);
    // A released agent ends even a subscription that was never made (with id 0); a failure
    // then says nothing new.
    if (why == Closing::kRelease || state.subscribed)
    {
        if (OSTREL_Unsubscribe(state.handle, state.subscriptionId) != 1 && state.subscribed)
        {
            printFailure("Unable to unsubscribe from the camera " + m_cameraAddress,
                         OSTREL_GetLastError(), consequence);
        }
    }
    if (OSTREL_Logout(state.handle) != 1)
    {
        printFailure("Unable to log out of the camera " + m_cameraAddress, OSTREL_GetLastError(),
                     consequence);
    }
}

void CameraSession::withSession(const std::function<void(const View&)>& use) const
{
    const korvane::port::MutexLock lock(&m_mutex);
    View view;
    view.delivering = m_state.delivering;
    view.capabilitiesError = m_state.capabilitiesError;
    view.rules.handle = m_state.handle;
    view.rules.channel = m_state.channel;
    view.rules.lineCrossCapability = m_state.lineCrossCapability;
    view.rules.intrusionCapability = m_state.intrusionCapability;
    view.rules.enterAreaCapability = m_state.enterAreaCapability;
    view.rules.leaveAreaCapability = m_state.leaveAreaCapability;
    view.rules.printPrefix = m_printPrefix;
    view.rules.cameraAddress = m_cameraAddress;
    use(view);
}

void CameraSession::reportOpening(const Opening& opening, const char* how,
                                  const std::string& consequence) const
{
    if (opening.capabilitiesError)
        reportCapabilitiesFailure(*opening.capabilitiesError);
    if (opening.alarmCallbackError)
        reportAlarmCallbackFailure(*opening.alarmCallbackError);
    if (!opening.failure)
        return;
    // The Camera SDK's own failures never refuse the agent, so this line is the only place
    // where a site learns why the camera stays silent.
    printFailure("The camera session with " + m_cameraAddress + " " + how + ": the " +
                     opening.failure->step + " failed",
                 opening.failure->lastError, consequence);
}

void CameraSession::reportCapabilitiesFailure(int32_t lastError) const
{
    printFailure(
        "The smart-rule capabilities of the camera " + m_cameraAddress + " could not be read",
        lastError,
        "; its rules are neither shown nor written until they are read, which is tried again "
        "while the camera's video arrives.");
}

void CameraSession::reportAlarmCallbackFailure(int32_t lastError) const
{
    printFailure("The alarm callback could not be installed on the camera " + m_cameraAddress,
                 lastError,
                 "; no events arrive from it until it is, which is tried again while the "
                 "camera's video arrives (detections still arrive).");
}

void CameraSession::printFailure(const std::string& what, int32_t lastError,
                                 const std::string& consequence) const
{
    NX_KIT_PRINT(m_printPrefix) << "ERROR: " << what << " (OSTREL_GetLastError() = " << lastError
                                << ")" << consequence;
}

}  // namespace nx::vms_server_plugins::analytics::sample
