// IObjectMetadata: one detected analytics object (track id, subtype text, bounding box).
//
// Filled by one thread before it is published; readers take no lock.

#pragma once

#include <nx/sdk/analytics/i_metadata.h>
#include <nx/sdk/analytics/rect.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class IObjectMetadata : public Interface<IObjectMetadata, IMetadata>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IObjectMetadata"; }

    // Slot 8: copies the track id into *outValue; a null outValue is reported and ignored.
    virtual void trackId(Uuid* outValue) const = 0;

    // Slot 9: the subtype text; its meaning is the host's, this library leaves it empty.
    virtual const char* subtype() const = 0;

    // Slot 10: copies the bounding box into *outValue; a null outValue is reported and ignored.
    virtual void boundingBox(Rect* outValue) const = 0;

protected:
    ~IObjectMetadata() = default;
};

}  // namespace nx::sdk::analytics
