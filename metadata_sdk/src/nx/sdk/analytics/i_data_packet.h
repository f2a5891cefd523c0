// IDataPacket: the root of every packet exchanged with the host; carries a timestamp.
//
// Packets are filled by one thread before they are published; readers take no lock.

#pragma once

#include <stdint.h>

#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IDataPacket : public Interface<IDataPacket>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IDataPacket"; }

    // Slot 4: the timestamp in microseconds; negative when not set.
    virtual int64_t timestampUs() const = 0;

protected:
    ~IDataPacket() = default;
};

}  // namespace nx::sdk::analytics
