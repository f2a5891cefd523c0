// ObjectMetadataPacket: the library's IObjectMetadataPacket, a packet of detected analytics
// objects.
//
// Defaults: timestamp -1, duration -1, newest-version value 0, no items. Not locked:
// filled by one thread before it is published.

#pragma once

#include <nx/sdk/analytics/helpers/compound_metadata_packet.h>
#include <nx/sdk/analytics/i_object_metadata.h>
#include <nx/sdk/analytics/i_object_metadata_packet.h>

namespace nx::sdk::analytics
{

class ObjectMetadataPacket final
    : public CompoundMetadataPacket<IObjectMetadataPacket, IObjectMetadata>
{
public:
    ObjectMetadataPacket() = default;

    // Adds a reference to the borrowed `objectMetadata` and appends it; a null item is
    // reported as an assertion failure and not added.
    void addItem(const IObjectMetadata* objectMetadata);

private:
    ~ObjectMetadataPacket() override = default;
};

}  // namespace nx::sdk::analytics
