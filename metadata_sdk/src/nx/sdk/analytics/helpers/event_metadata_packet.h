// EventMetadataPacket: the library's IEventMetadataPacket, a packet of analytics events.
//
// Defaults: timestamp -1, duration -1, newest-version value 0, no items. Not locked:
// filled by one thread before it is published.

#pragma once

#include <nx/sdk/analytics/helpers/compound_metadata_packet.h>
#include <nx/sdk/analytics/i_event_metadata.h>
#include <nx/sdk/analytics/i_event_metadata_packet.h>

namespace nx::sdk::analytics
{

class EventMetadataPacket final
    : public CompoundMetadataPacket<IEventMetadataPacket, IEventMetadata>
{
public:
    EventMetadataPacket() = default;

    // Adds a reference to the borrowed `eventMetadata` and appends it; a null item is
    // reported as an assertion failure and not added.
    void addItem(const IEventMetadata* eventMetadata);

private:
    ~EventMetadataPacket() override = default;
};

}  // namespace nx::sdk::analytics
