#include "alarm_translation.h"

#include <iterator>
#include <limits>

#include <nx/sdk/analytics/helpers/event_metadata.h>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

constexpr int64_t kMicrosecondsPerSecond = 1000000;

}  // namespace

PendingEvent pendingEventOf(const AlarmRow& row)
{
    return PendingEvent{row.typeId, row.caption, row.description, row.typeId, row.ends ? 1u : 0u};
}

int64_t alarmTimeToMicroseconds(int64_t seconds)
{
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    if (seconds > kMax / kMicrosecondsPerSecond)
        return kMax;
    if (seconds < kMin / kMicrosecondsPerSecond)
        return kMin;
    return seconds * kMicrosecondsPerSecond;
}

nx::sdk::Ptr<nx::sdk::analytics::EventMetadataPacket> makeEventPacket(const PendingEvent& event,
                                                                      int64_t timestampUs)
{
    using namespace nx::sdk::analytics;
    auto packet = nx::sdk::makePtr<EventMetadataPacket>();
    packet->setTimestampUs(timestampUs);
    packet->setDurationUs(0);

    const auto metadata = nx::sdk::makePtr<EventMetadata>();
    metadata->setTypeId(event.typeId);
    metadata->setIsActive(event.recoverFlag == 0);
    metadata->setCaption(event.caption);
    metadata->setDescription(event.description);
    metadata->setKey(event.eventName);
    packet->addItem(metadata.get());
    return packet;
}

}  // namespace nx::vms_server_plugins::analytics::sample
