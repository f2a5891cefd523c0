// DeviceAgent: the Korvane device agent of one camera.
//
// At construction it opens a session with the camera through the Camera SDK (CameraSession)
// and, once the session delivers, enters the two agent registries, through which the SDK's
// alarm and structured-data callbacks reach it; destruction leaves the registries (waiting
// for callbacks in flight), then unsubscribes and logs out. Alarms become event packets at
// once; detection records wait as pending objects for the next compressed video frame.
//
// A session that does not open leaves the agent quiet, and one error line names the failed
// step, the camera's address and the Camera SDK's last error. In the background
// (SessionUpkeep) the agent then opens it again while the camera's video arrives, checks a
// delivering session that may have died without a word, and opens a lost one again. Without
// a session the read-back asks nothing of the camera, and a settings delivery that writes
// rules answers with an error result, as it does whenever its rules or switches did not
// reach the camera.
//
// Thread-safety: the host calls the agent from one thread at a time; the Camera SDK calls
// the callbacks on its own threads; the background work runs on the SessionKeeper's threads.
// m_eventMutex guards the pending event and the alarm time; m_settingsMutex guards the
// switches, the pending objects and the recent track ids; the session guards its own values
// (CameraSession); the generate-events and new-objects flags and the signals to the
// background work are atomics. Neither lock is held while a packet is handed to the frame,
// whose own mutex serialises the deliveries.

#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nx/sdk/analytics/helpers/consuming_device_agent.h>
#include <nx/sdk/analytics/helpers/object_metadata_packet.h>
#include <nx/sdk/uuid.h>

#include "camera/alarm_translation.h"
#include "camera/object_translation.h"
#include "camera_sdk/ostrel_sdk.h"
#include "camera_session.h"
#include "manifests/settings_application.h"
#include "port/mutex.h"
#include "rules/rule_failures.h"
#include "rules/rule_kind.h"
#include "session_keeper.h"
#include "session_schedule.h"
#include "session_upkeep.h"

namespace nx::vms_server_plugins::analytics::sample
{

class DeviceAgent final : public nx::sdk::analytics::ConsumingDeviceAgent
{
public:
    // Opens the camera session, then keeps it up on `keeper`'s threads with `timings`.
    // Camera SDK failures never refuse the agent: it is created in a state that delivers
    // nothing, and one error line says why. Throws std::invalid_argument or std::out_of_range
    // when the camera URL is malformed, before any Camera SDK call. REQUIRES: deviceInfo and
    // keeper are not null.
    DeviceAgent(const nx::sdk::IDeviceInfo* deviceInfo, std::shared_ptr<SessionKeeper> keeper,
                const SessionTimings& timings);

    // Does nothing: the agent produces every type it declares.
    void doSetNeededMetadataTypes(nx::sdk::Result<void>* outResult,
                                  const nx::sdk::IStringMap* neededMetadataTypes) override;

protected:
    std::string manifestString() const override;

    // Counts the frame and drains the pending objects into one object packet.
    bool pushCompressedVideoFrame(
        const nx::sdk::analytics::ICompressedVideoPacket* videoPacket) override;

    // Sends the pending event again, stamped with the frame's timestamp.
    bool pushUncompressedVideoFrame(
        const nx::sdk::analytics::IUncompressedVideoFrame* videoFrame) override;

    // Reads the camera's smart rules and rule switches into a new settings response.
    void getPluginSideSettings(
        nx::sdk::Result<const nx::sdk::ISettingsResponse*>* outResult) const override;

    // Writes the rules (from the second delivery on), rebuilds the switches, pushes the
    // manifest. An error result (otherError) says what of the rules and switches did not
    // reach the camera; the received values are kept all the same.
    nx::sdk::Result<const nx::sdk::ISettingsResponse*> settingsReceived() override;

private:
    ~DeviceAgent() override;

    // The Camera SDK callbacks; they find the agents of `handle` through the registries.
    static void onAlarm(void* handle, const OstrelAlarmRecord* alarm, void* userData);
    static void onStructuredData(void* handle, void* reserved, const OstrelStructuredRecord* batch,
                                 void* userData);

    // The login the device info gives, from its URL, login name, password and channel.
    static CameraLogin loginOf(const nx::sdk::IDeviceInfo* deviceInfo);

    // Translates one alarm and sends its event while event generation is on.
    void handleAlarm(const OstrelAlarmRecord& alarm) EXCLUDES(m_eventMutex);

    // Keeps the first record of each type of `batch` as a pending object.
    void handleStructuredData(const OstrelStructuredRecord& batch) EXCLUDES(m_settingsMutex);

    // One object packet from the pending objects of the enabled types, then none pending.
    nx::sdk::Ptr<nx::sdk::analytics::ObjectMetadataPacket> makeObjectPacket(
        int64_t frameTimestampUs) EXCLUDES(m_settingsMutex);

    // The settings hook's work: the rules to the camera (from the second delivery on),
    // the switches, the manifest. What did not reach the camera goes to *failures.
    void applyReceivedSettings(RuleFailures* failures) EXCLUDES(m_settingsMutex);

    // Writes the four rule kinds from the settings to the camera; nothing without a session
    // or with unknown capabilities, which *failures then records.
    void writeRulesToCamera(RuleFailures* failures);

    korvane::port::Mutex m_eventMutex;
    PendingEvent m_pendingEvent GUARDED_BY(m_eventMutex);
    int64_t m_alarmTimeS GUARDED_BY(m_eventMutex) = 0;

    CameraSession m_session;
    std::atomic<uint32_t> m_newObjects{0};
    uint32_t m_firstSettings = 1;
    std::atomic<bool> m_generateEvents{true};
    uint32_t m_frameCounter = 0;
    SessionSignals m_signals;
    std::optional<SessionUpkeep> m_upkeep;  //< Set once the opening at creation is done.

    korvane::port::Mutex m_settingsMutex;
    AgentSwitches m_switches GUARDED_BY(m_settingsMutex);
    PendingObjects m_pendingObjects GUARDED_BY(m_settingsMutex);
    std::vector<nx::sdk::Uuid> m_recentObjects GUARDED_BY(m_settingsMutex);
};

}  // namespace nx::vms_server_plugins::analytics::sample
