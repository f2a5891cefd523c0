// IEventMetadataPacket: a packet of analytics events (items are IEventMetadata).
//
// Two versions: IEventMetadataPacket0 (id "nx::sdk::analytics::IEventMetadataPacket") and
// IEventMetadataPacket (id "nx::sdk::analytics::IEventMetadataPacket1"), which adds a 32-bit
// value whose meaning is the host's. Filled by one thread before it is published.

#pragma once

#include <stdint.h>

#include <nx/sdk/analytics/i_compound_metadata_packet.h>
#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IEventMetadataPacket0 : public Interface<IEventMetadataPacket0, ICompoundMetadataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IEventMetadataPacket";
    }

protected:
    ~IEventMetadataPacket0() = default;
};

class IEventMetadataPacket : public Interface<IEventMetadataPacket, IEventMetadataPacket0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IEventMetadataPacket1";
    }

    // Slot 8: the value added by this interface version; this library leaves it 0.
    virtual int32_t versionValue() const = 0;

protected:
    ~IEventMetadataPacket() = default;
};

}  // namespace nx::sdk::analytics
