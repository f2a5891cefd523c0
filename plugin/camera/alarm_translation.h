// Alarm translation: the camera's alarm type codes as analytics events, and the event
// packet that carries one of them to the host.
//
// The table is a constant; the functions keep no state. Thread-safe.

#pragma once

#include <cstdint>
#include <string>

#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/ptr.h>

namespace nx::vms_server_plugins::analytics::sample
{

// One row of the alarm table.
struct AlarmRow
{
    int32_t code;
    const char* typeId;  //< Also the event name.
    const char* caption;
    const char* description;
    bool ends;  //< The alarm reports the end of a condition: the event is sent as inactive.
};

// The event of the last translated alarm of an agent. The texts are those of the constant
// alarm table, so that keeping and replacing the event copies no text.
struct PendingEvent
{
    const char* typeId = "";  //< Empty while no alarm has been translated.
    const char* caption = "";
    const char* description = "";
    const char* eventName = "";
    uint32_t recoverFlag = 0;  //< 1 when the alarm reported the end of a condition.
};

// The row of alarm type `code`, or null for a code the table does not list.
const AlarmRow* findAlarmRow(int32_t code);

// The pending event that `row` describes.
PendingEvent pendingEventOf(const AlarmRow& row);

// Camera seconds as microseconds, saturated at the limits of 64 bits instead of wrapping.
int64_t alarmTimeToMicroseconds(int64_t seconds);

// A new packet with one event built from `event`, stamped `timestampUs`, duration 0.
nx::sdk::Ptr<nx::sdk::analytics::EventMetadataPacket> makeEventPacket(const PendingEvent& event,
                                                                      int64_t timestampUs);

}  // namespace nx::vms_server_plugins::analytics::sample
