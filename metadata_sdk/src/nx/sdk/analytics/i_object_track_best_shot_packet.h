// IObjectTrackBestShotPacket: the best picture of an object track; a metadata packet that
// holds no items.

#pragma once

#include <nx/sdk/analytics/i_metadata_packet.h>
#include <nx/sdk/analytics/rect.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class IObjectTrackBestShotPacket0 : public Interface<IObjectTrackBestShotPacket0, IMetadataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IObjectTrackBestShotPacket";
    }

    // The object track the best shot belongs to.
    NX_SDK_RETURNS_BY_VALUE(Uuid, trackId)

protected:
    ~IObjectTrackBestShotPacket0() = default;
};

class IObjectTrackBestShotPacket1
    : public Interface<IObjectTrackBestShotPacket1, IObjectTrackBestShotPacket0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IObjectTrackBestShotPacket1";
    }

    // Where the object is on the frame, in normalised coordinates.
    NX_SDK_RETURNS_BY_VALUE(Rect, boundingBox)

protected:
    ~IObjectTrackBestShotPacket1() = default;
};

class IObjectTrackBestShotPacket
    : public Interface<IObjectTrackBestShotPacket, IObjectTrackBestShotPacket1>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IObjectTrackBestShotPacket2";
    }

    // The URL of the best-shot image, or null.
    virtual const char* imageUrl() const = 0;

protected:
    ~IObjectTrackBestShotPacket() = default;
};

}  // namespace nx::sdk::analytics
