// ObjectMetadata: the library's IObjectMetadata, one detected analytics object.
//
// Defaults: empty texts, confidence 1.0, all-zero track id, no attributes, bounding box
// (-1, -1, -1, -1). Not locked: filled by one thread with the setters before it is
// published.

#pragma once

#include <string>
#include <vector>

#include <nx/sdk/analytics/i_object_metadata.h>
#include <nx/sdk/analytics/rect.h>
#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class ObjectMetadata final : public RefCountable<IObjectMetadata>
{
public:
    ObjectMetadata() = default;

    // Sets the object type id.
    void setTypeId(std::string typeId);

    // Sets the track id that links this object across packets.
    void setTrackId(const Uuid& trackId);

    // Sets the bounding box, in normalised frame coordinates.
    void setBoundingBox(const Rect& boundingBox);

    // Moves the reference of `attribute` into the list; a null attribute is reported as an
    // assertion failure and not added.
    void addAttribute(Ptr<Attribute> attribute);

    const char* typeId() const override;
    float confidence() const override;
    const IAttribute* attribute(int i) const override;
    int attributeCount() const override;
    void trackId(Uuid* outValue) const override;
    const char* subtype() const override;
    void boundingBox(Rect* outValue) const override;

private:
    ~ObjectMetadata() override = default;

    std::string m_typeId;
    float m_confidence = 1.0F;
    Uuid m_trackId;
    std::string m_subtype;
    std::vector<Ptr<Attribute>> m_attributes;
    Rect m_boundingBox{-1.0F, -1.0F, -1.0F, -1.0F};
};

}  // namespace nx::sdk::analytics
