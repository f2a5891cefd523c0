// ICompoundMetadataPacket: a metadata packet that holds a list of metadata items.
//
// Filled by one thread before it is published; readers take no lock.

#pragma once

#include <nx/sdk/analytics/i_metadata.h>
#include <nx/sdk/analytics/i_metadata_packet.h>
#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class ICompoundMetadataPacket : public Interface<ICompoundMetadataPacket, IMetadataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::ICompoundMetadataPacket";
    }

    // Slot 6: the number of items.
    virtual int count() const = 0;

    // Slot 7: the i-th item with a reference added; null when i is out of range.
    virtual const IMetadata* at(int i) const = 0;

protected:
    ~ICompoundMetadataPacket() = default;
};

}  // namespace nx::sdk::analytics
