#include "device_agent.h"

#include <cstring>
#include <exception>
#include <functional>

#include <nx/kit/debug.h>
#include <nx/sdk/analytics/helpers/object_metadata.h>
#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/uuid_helper.h>

#include "agent_registry.h"
#include "boundary_guard.h"
#include "camera_url.h"
#include "manifests/device_agent_manifest.h"
#include "manifests/type_catalogue.h"
#include "rules/rule_sync.h"

namespace nx::vms_server_plugins::analytics::sample
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

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

// A text the host hands out; null counts as empty.
std::string hostText(const char* text)
{
    return text ? text : "";
}

uint32_t readUint32(const std::vector<uint8_t>& buffer, int32_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, buffer.data() + offset, sizeof(value));
    return value;
}

// Hands a notification of session `handle` to each agent of `registry` registered with it.
// Nothing may leave a Camera SDK callback: anything thrown drops the notification with one
// line that names `what`.
void notifyAgents(AgentRegistry* registry, void* handle, const char* what,
                  const std::function<void(DeviceAgent*)>& visit)
{
    std::string errorText;
    if (!runCatching([&] { registry->forEachAgentOf(handle, visit); }, &errorText))
        NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << "ERROR: " << what << " dropped: " << errorText;
}

// Every object slot keeps its track id until the list is emptied (every 200 frames).
constexpr uint32_t kFramesPerTrackIdPeriod = 200;

}  // namespace

DeviceAgent::DeviceAgent(const IDeviceInfo* deviceInfo)
    : ConsumingDeviceAgent(deviceInfo, /*enableOutput*/ true)
{
    const std::string password = hostText(deviceInfo->password());
    const std::string login = hostText(deviceInfo->login());
    const CameraAddress address = parseCameraUrl(hostText(deviceInfo->url()));
    m_cameraAddress = address.host + ":" + std::to_string(address.port);
    const int32_t deviceChannel = deviceInfo->channelNumber();
    try
    {
        openSession(address.host, address.port, login, password, deviceChannel);
    }
    catch (...)
    {
        // The destructor does not run for an agent whose constructor throws: close here, so
        // that no registry keeps a pointer to the agent and the camera is logged out.
        closeSession();
        throw;
    }
}

DeviceAgent::~DeviceAgent()
{
    closeSession();
}

void DeviceAgent::openSession(const std::string& host, int32_t port, const std::string& login,
                              const std::string& password, int32_t deviceChannel)
{
    OstrelLoginRecord loginRecord{};
    copyText(loginRecord.address, host);
    loginRecord.port = port;
    copyText(loginRecord.loginName, login);
    copyText(loginRecord.password, password);
    OstrelLoginResult loginResult{};
    m_sessionHandle = OSTREL_Login(&loginRecord, &loginResult);
    const char* const failedStep = m_sessionHandle ? prepareSession(deviceChannel) : "login";
    if (failedStep)
    {
        reportSessionFailure(failedStep);
        return;
    }

    // Entered only now, with the session fully open: no callback sees a half-built agent.
    // A failed entry (an allocation) throws with neither registry holding the agent.
    enterBoth(&structuredDataRegistry(), &alarmRegistry(), this, m_sessionHandle);
    m_sessionOpen = true;
}

const char* DeviceAgent::prepareSession(int32_t deviceChannel)
{
    // Only the count is read. The records (21 KiB) stay on the stack and are not cleared:
    // a heap block of this size, cleared and freed, was the dearest part of opening.
    int32_t channelCount = kOstrelChannelCapacity;
    OstrelChannelRecord channels[kOstrelChannelCapacity];
    if (OSTREL_QueryChannelList(m_sessionHandle, &channelCount, channels) != 1)
        return "channel list";
    m_channel = channelCount > 1 ? deviceChannel + 1 : deviceChannel;

    readCapabilities();
    installAlarmCallback();
    if (OSTREL_SetStructDataCallback(m_sessionHandle, &DeviceAgent::onStructuredData, nullptr) != 1)
        return "structured-data callback";

    OstrelSubscriptionRequest request{};
    request.alarmTypes = kOstrelSubscribeAllAlarms;
    request.structuredTypes = kOstrelSubscribeAllStructured;
    OstrelSubscriptionResult result{};
    if (OSTREL_Subscribe(m_sessionHandle, &request, &result) != 1)
        return "subscription";
    m_subscribed = true;
    m_subscriptionId = result.subscriptionId;
    return nullptr;
}

void DeviceAgent::reportSessionFailure(const char* step) const
{
    // The Camera SDK's own failures never refuse the agent, so this line is the only place
    // where a site learns why the camera stays silent.
    reportCameraFailure(
        "The camera session with " + m_cameraAddress + " did not open: the " + step + " failed",
        "; the camera stays silent until its device agent is created again.");
}

int32_t DeviceAgent::reportCameraFailure(const std::string& what, const char* consequence) const
{
    const int32_t lastError = OSTREL_GetLastError();
    NX_KIT_PRINT(printPrefix()) << "ERROR: " << what << " (OSTREL_GetLastError() = " << lastError
                                << ")" << consequence;
    return lastError;
}

void DeviceAgent::readCapabilities()
{
    std::vector<uint8_t> config(kOstrelConfigBufferSize);
    int32_t bytesReturned = 0;
    if (OSTREL_GetDeviceConfig(m_sessionHandle, m_channel, kOstrelConfigSmartCapabilities,
                               config.data(), kOstrelConfigBufferSize, &bytesReturned) == 0)
    {
        m_capabilitiesError = reportCameraFailure(
            "The smart-rule capabilities of the camera " + m_cameraAddress + " could not be read",
            "; its rules are neither shown nor written until its device agent is created again.");
        return;
    }
    m_intrusionCapability = readUint32(config, kOstrelIntrusionCapabilityOffset);
    m_lineCrossCapability = readUint32(config, kOstrelLineCrossCapabilityOffset);
    m_enterAreaCapability = readUint32(config, kOstrelEnterAreaCapabilityOffset);
    m_leaveAreaCapability = readUint32(config, kOstrelLeaveAreaCapabilityOffset);
}

void DeviceAgent::installAlarmCallback()
{
    if (OSTREL_SetAlarmCallback(m_sessionHandle, &DeviceAgent::onAlarm, nullptr) == 1)
        return;
    reportCameraFailure(
        "The alarm callback could not be installed on the camera " + m_cameraAddress,
        "; no events will arrive from it until its device agent is created again (detections "
        "still will).");
}

void DeviceAgent::closeSession()
{
    alarmRegistry().remove(this);
    structuredDataRegistry().remove(this);
    if (!m_sessionHandle)
        return;
    // Without a subscription there is nothing to end, and a failure says nothing new.
    if (OSTREL_Unsubscribe(m_sessionHandle, m_subscriptionId) != 1 && m_subscribed)
    {
        reportCameraFailure("Unable to unsubscribe from the camera " + m_cameraAddress,
                            "; the device agent is released all the same.");
    }
    if (OSTREL_Logout(m_sessionHandle) != 1)
    {
        reportCameraFailure("Unable to log out of the camera " + m_cameraAddress,
                            "; the device agent is released all the same.");
    }
}

void DeviceAgent::onAlarm(void* handle, const OstrelAlarmRecord* alarm, void* /*userData*/)
{
    if (alarm)
        notifyAgents(&alarmRegistry(), handle, "Alarm",
                     [alarm](DeviceAgent* agent) { agent->handleAlarm(*alarm); });
}

void DeviceAgent::onStructuredData(void* handle, void* /*reserved*/,
                                   const OstrelStructuredRecord* batch, void* /*userData*/)
{
    if (batch)
        notifyAgents(&structuredDataRegistry(), handle, "Detection records",
                     [batch](DeviceAgent* agent) { agent->handleStructuredData(*batch); });
}

void DeviceAgent::handleAlarm(const OstrelAlarmRecord& alarm)
{
    Ptr<EventMetadataPacket> packet;
    {
        // The packet is built under the lock, so that two alarms racing on two SDK threads
        // each carry their own row and time.
        const korvane::port::MutexLock lock(&m_eventMutex);
        m_alarmTimeS = alarm.alarmTime;
        const AlarmRow* const row = findAlarmRow(alarm.alarmType);
        if (!row)
            return;
        m_pendingEvent = pendingEventOf(*row);
        packet = makeEventPacket(m_pendingEvent, alarmTimeToMicroseconds(m_alarmTimeS));
    }
    if (m_generateEvents.load())
        pushMetadataPacket(packet.releasePtr());
}

void DeviceAgent::handleStructuredData(const OstrelStructuredRecord& batch)
{
    const korvane::port::MutexLock lock(&m_settingsMutex);
    m_newObjects.store(1);
    collectPendingObjects(batch, &m_pendingObjects);
}

bool DeviceAgent::pushCompressedVideoFrame(const ICompressedVideoPacket* videoPacket)
{
    ++m_frameCounter;
    if (m_frameCounter % kFramesPerTrackIdPeriod == 0)
    {
        const korvane::port::MutexLock lock(&m_settingsMutex);
        m_recentObjects.clear();
    }
    // Most frames find nothing new: a plain load tells so without a locked exchange.
    if (m_newObjects.load() == 0 || m_newObjects.exchange(0) == 0)
        return true;
    pushMetadataPacket(makeObjectPacket(videoPacket->timestampUs()).releasePtr());
    return true;
}

Ptr<ObjectMetadataPacket> DeviceAgent::makeObjectPacket(int64_t frameTimestampUs)
{
    auto packet = makePtr<ObjectMetadataPacket>();
    std::vector<Ptr<ObjectMetadata>> objects;
    {
        const korvane::port::MutexLock lock(&m_settingsMutex);
        packet->setTimestampUs(frameTimestampUs + int64_t{m_switches.timestampShiftMs} * 1000);
        for (const auto& [typeId, attributes] : m_pendingObjects)
        {
            if (!m_switches.enabledObjectTypes.count(typeId))
                continue;
            auto object = makePtr<ObjectMetadata>();
            object->setTypeId(typeId);
            if (m_switches.sendAttributes)
            {
                for (const auto& [name, value] : attributes)
                    object->addAttribute(makePtr<Attribute>(name, value, 1.0F));
            }
            objects.push_back(std::move(object));
        }
        m_pendingObjects.clear();

        const int count = static_cast<int>(objects.size());
        for (int i = 0; i < count; ++i)
        {
            objects[i]->setBoundingBox(objectBoundingBox(i, count, m_frameCounter));
            while (static_cast<int>(m_recentObjects.size()) <= i)
                m_recentObjects.push_back(randomUuid());
            objects[i]->setTrackId(m_recentObjects[i]);
        }
    }
    for (const auto& object : objects)
        packet->addItem(object.get());
    return packet;
}

bool DeviceAgent::pushUncompressedVideoFrame(const IUncompressedVideoFrame* videoFrame)
{
    ++m_frameCounter;
    Ptr<EventMetadataPacket> packet;
    {
        const korvane::port::MutexLock lock(&m_eventMutex);
        m_alarmTimeS = videoFrame->timestampUs();
        if (!*m_pendingEvent.typeId)
            return true;
        // The frame's time is already in microseconds.
        packet = makeEventPacket(m_pendingEvent, videoFrame->timestampUs());
    }
    if (m_generateEvents.load())
        pushMetadataPacket(packet.releasePtr());
    return true;
}

Result<const ISettingsResponse*> DeviceAgent::settingsReceived()
{
    RuleFailures failures;
    std::string errorText;
    if (!runCatching([&] { applyReceivedSettings(&failures); }, &errorText))
        NX_KIT_PRINT(printPrefix()) << "ERROR: Unable to apply the settings: " << errorText;
    if (failures.empty())
        return Result<const ISettingsResponse*>();
    // The user who saved the page learns that the camera does not hold what it shows.
    return error(ErrorCode::otherError, failures.message(m_cameraAddress));
}

void DeviceAgent::applyReceivedSettings(RuleFailures* failures)
{
    if (m_firstSettings != 1)
        writeRulesToCamera(failures);
    else
        m_firstSettings = 0;

    {
        const korvane::port::MutexLock lock(&m_settingsMutex);
        applySettings(receivedSettings(), printPrefix(), &m_switches);
    }
    m_generateEvents.store(parseBooleanSetting(settingValue(kGenerateEventsSetting)));
    pushManifest(manifestString());
}

void DeviceAgent::writeRulesToCamera(RuleFailures* failures)
{
    if (!m_sessionOpen)
        return failures->addReason("there is no camera session");
    if (m_capabilitiesError)
    {
        return failures->addReason(
            "its smart-rule capabilities could not be read when the session opened "
            "(OSTREL_GetLastError() = " +
            std::to_string(*m_capabilitiesError) + ")");
    }
    RuleSession session = ruleSession();
    session.failures = failures;
    writeAllRules(session, [this](const std::string& key) { return settingValue(key); });
}

void DeviceAgent::getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const
{
    // Without a session nothing is asked of the camera: its opening line already said why.
    auto response =
        m_sessionOpen ? readPluginSideSettings(ruleSession()) : makePtr<SettingsResponse>();
    *outResult = Result<const ISettingsResponse*>(response.releasePtr());
}

RuleSession DeviceAgent::ruleSession() const
{
    RuleSession session;
    session.handle = m_sessionHandle;
    session.channel = m_channel;
    session.lineCrossCapability = m_lineCrossCapability;
    session.intrusionCapability = m_intrusionCapability;
    session.enterAreaCapability = m_enterAreaCapability;
    session.leaveAreaCapability = m_leaveAreaCapability;
    session.printPrefix = printPrefix();
    session.cameraAddress = m_cameraAddress;
    return session;
}

void DeviceAgent::doSetNeededMetadataTypes(Result<void>* /*outResult*/,
                                           const IStringMap* /*neededMetadataTypes*/)
{
}

std::string DeviceAgent::manifestString() const
{
    return deviceAgentManifest();
}

}  // namespace nx::vms_server_plugins::analytics::sample
