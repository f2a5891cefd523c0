// CompoundMetadataPacket: the layout and getters shared by the event and object metadata
// packets: timestamp and duration (both -1 until set), the newest-version value (0) and a
// list of items, each held with a reference of its own.
//
// The derived packet classes add their own `addItem`, so that its misuse is reported with
// the derived class's source prefix. Not locked: filled by one thread before it is
// published.

#pragma once

#include <cstdint>
#include <vector>

#include <nx/sdk/analytics/i_metadata.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk::analytics
{

template <class PacketInterface, class ItemInterface>
class CompoundMetadataPacket : public RefCountable<PacketInterface>
{
public:
    // Sets the timestamp in microseconds.
    void setTimestampUs(int64_t timestampUs) { m_timestampUs = timestampUs; }

    // Sets the duration in microseconds.
    void setDurationUs(int64_t durationUs) { m_durationUs = durationUs; }

    int64_t timestampUs() const override { return m_timestampUs; }
    int64_t durationUs() const override { return m_durationUs; }
    int count() const override { return static_cast<int>(m_items.size()); }
    int32_t versionValue() const override { return m_versionValue; }

    const IMetadata* at(int i) const override
    {
        if (i < 0 || i >= count())
            return nullptr;
        const Ptr<const ItemInterface>& item = m_items[static_cast<size_t>(i)];
        item->addRef();
        return item.get();
    }

protected:
    CompoundMetadataPacket() = default;
    ~CompoundMetadataPacket() override = default;

    // Keeps `item` with a reference of its own.
    // REQUIRES: item != nullptr.
    void appendItem(const ItemInterface* item) { m_items.push_back(shareToPtr(item)); }

private:
    int32_t m_versionValue = 0;
    int64_t m_timestampUs = -1;
    int64_t m_durationUs = -1;
    std::vector<Ptr<const ItemInterface>> m_items;
};

}  // namespace nx::sdk::analytics
