// IMetadataPacket: a data packet that carries metadata valid for a duration.
//
// Filled by one thread before it is published; readers take no lock.

#pragma once

#include <stdint.h>

#include <nx/sdk/analytics/i_data_packet.h>
#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IMetadataPacket : public Interface<IMetadataPacket, IDataPacket>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IMetadataPacket"; }

    // Slot 5: the duration in microseconds; negative when not set.
    virtual int64_t durationUs() const = 0;

protected:
    ~IMetadataPacket() = default;
};

}  // namespace nx::sdk::analytics
