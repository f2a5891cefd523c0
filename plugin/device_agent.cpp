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

// A text the host hands out; null counts as empty.
std::string hostText(const char* text)
{
    return text ? text : "";
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

DeviceAgent::DeviceAgent(const IDeviceInfo* deviceInfo, std::shared_ptr<SessionKeeper> keeper,
                         const SessionTimings& timings)
    : ConsumingDeviceAgent(deviceInfo, /*enableOutput*/ true),
      m_session(this, {&DeviceAgent::onAlarm, &DeviceAgent::onStructuredData}, loginOf(deviceInfo),
                printPrefix())
{
    try
    {
        const CameraSession::Opening opening = m_session.open(/*cancelled*/ nullptr);
        m_session.reportOpening(opening, "did not open",
                                "; it is tried again while the camera's video arrives.");
        m_upkeep.emplace(&m_session, &m_signals, std::move(keeper), timings, opening);
        m_upkeep->start();
    }
    catch (...)
    {
        // The destructor does not run for an agent whose constructor throws: close here, so
        // that neither the keeper nor a registry keeps a pointer to the agent and the camera
        // is logged out.
        if (m_upkeep)
            m_upkeep->stop();
        m_session.close(CameraSession::Closing::kRelease);
        throw;
    }
}

DeviceAgent::~DeviceAgent()
{
    // The background work ends first (waiting at most for its Camera SDK call in flight),
    // so that whatever it opened is closed here.
    m_upkeep->stop();
    m_session.close(CameraSession::Closing::kRelease);
}

CameraLogin DeviceAgent::loginOf(const IDeviceInfo* deviceInfo)
{
    CameraLogin login;
    login.password = hostText(deviceInfo->password());
    login.loginName = hostText(deviceInfo->login());
    const CameraAddress address = parseCameraUrl(hostText(deviceInfo->url()));
    login.host = address.host;
    login.port = address.port;
    login.deviceChannel = deviceInfo->channelNumber();
    return login;
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
    m_signals.notifications.fetch_add(1, std::memory_order_relaxed);
    if (m_generateEvents.load())
        pushMetadataPacket(packet.releasePtr());
}

void DeviceAgent::handleStructuredData(const OstrelStructuredRecord& batch)
{
    m_signals.notifications.fetch_add(1, std::memory_order_relaxed);
    const korvane::port::MutexLock lock(&m_settingsMutex);
    m_newObjects.store(1);
    collectPendingObjects(batch, &m_pendingObjects);
}

bool DeviceAgent::pushCompressedVideoFrame(const ICompressedVideoPacket* videoPacket)
{
    ++m_frameCounter;
    // The background work only counts frames (and is woken when it waits for one): a camera
    // whose video stopped may have rebooted.
    m_signals.frames.store(m_frameCounter, std::memory_order_relaxed);
    m_upkeep->frameArrived();
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
    return error(ErrorCode::otherError, failures.message(m_session.cameraAddress()));
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
    // The session is held for the whole write: it cannot be closed under it.
    m_session.withSession(
        [&](const CameraSession::View& view)
        {
            if (!view.delivering)
                return failures->addReason("there is no camera session");
            if (view.capabilitiesError)
            {
                return failures->addReason(
                    "its smart-rule capabilities could not be read when the session opened "
                    "(OSTREL_GetLastError() = " +
                    std::to_string(*view.capabilitiesError) + ")");
            }
            RuleSession session = view.rules;
            session.failures = failures;
            session.received = [this](const std::string& key)
            { return receivedSettings().count(key) != 0; };
            writeAllRules(session, [this](const std::string& key) { return settingValue(key); });
        });
}

void DeviceAgent::getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const
{
    Ptr<SettingsResponse> response;
    // Without a session nothing is asked of the camera: its opening line already said why.
    m_session.withSession(
        [&](const CameraSession::View& view) {
            response =
                view.delivering ? readPluginSideSettings(view.rules) : makePtr<SettingsResponse>();
        });
    *outResult = Result<const ISettingsResponse*>(response.releasePtr());
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
