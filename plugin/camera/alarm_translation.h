// Alarm translation: the event of an alarm table row, and the event packet that carries it
// to the host.
//
// The functions keep no state. Thread-safe.

#pragma once

#include <cstdint>
#include <string>

#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/ptr.h>

#include "plugin/camera/alarm_table.h"

namespace nx::vms_server_plugins::analytics::sample
{

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

// The pending event that `row` describes.
PendingEvent pendingEventOf(const AlarmRow& row);

// Camera seconds as microseconds, saturated at the limits of 64 bits instead of wrapping.
int64_t alarmTimeToMicroseconds(int64_t seconds);

// A new packet with one event built from `event`, stamped `timestampUs`, duration 0.
nx::sdk::Ptr<nx::sdk::analytics::EventMetadataPacket> makeEventPacket(const PendingEvent& event,
                                                                      int64_t timestampUs);

}  // namespace nx::vms_server_plugins::analytics::sample
