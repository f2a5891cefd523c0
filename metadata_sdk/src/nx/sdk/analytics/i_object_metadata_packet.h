// IObjectMetadataPacket: a packet of detected analytics objects (items are IObjectMetadata).
//
// Two versions: IObjectMetadataPacket0 (id "nx::sdk::analytics::IObjectMetadataPacket") and
// IObjectMetadataPacket (id "nx::sdk::analytics::IObjectMetadataPacket1"), which adds a 32-bit
// value whose meaning is the host's. Filled by one thread before it is published.

#pragma once

#include <stdint.h>

#include <nx/sdk/analytics/i_compound_metadata_packet.h>
#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IObjectMetadataPacket0 : public Interface<IObjectMetadataPacket0, ICompoundMetadataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IObjectMetadataPacket";
    }

protected:
    ~IObjectMetadataPacket0() = default;
};

class IObjectMetadataPacket : public Interface<IObjectMetadataPacket, IObjectMetadataPacket0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IObjectMetadataPacket1";
    }

    // Slot 8: the value added by this interface version; this library leaves it 0.
    virtual int32_t versionValue() const = 0;

protected:
    ~IObjectMetadataPacket() = default;
};

}  // namespace nx::sdk::analytics
