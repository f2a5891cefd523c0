#include "object_metadata.h"

#include <utility>

#include <nx/kit/debug.h>

namespace nx::sdk::analytics
{

namespace
{

void printLine(const char* text)
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << text;
}

}  // namespace

void ObjectMetadata::setTypeId(std::string typeId)
{
    m_typeId = std::move(typeId);
}

void ObjectMetadata::setTrackId(const Uuid& trackId)
{
    m_trackId = trackId;
}

void ObjectMetadata::setBoundingBox(const Rect& boundingBox)
{
    m_boundingBox = boundingBox;
}

void ObjectMetadata::addAttribute(Ptr<Attribute> attribute)
{
    if (!NX_KIT_ASSERT(printLine, attribute, ""))
        return;
    m_attributes.push_back(std::move(attribute));
}

const char* ObjectMetadata::typeId() const
{
    return m_typeId.c_str();
}

float ObjectMetadata::confidence() const
{
    return m_confidence;
}

const IAttribute* ObjectMetadata::attribute(int i) const
{
    return attributeAt(m_attributes, i);
}

int ObjectMetadata::attributeCount() const
{
    return static_cast<int>(m_attributes.size());
}

void ObjectMetadata::trackId(Uuid* outValue) const
{
    if (!NX_KIT_ASSERT(printLine, outValue, ""))
        return;
    *outValue = m_trackId;
}

const char* ObjectMetadata::subtype() const
{
    return m_subtype.c_str();
}

void ObjectMetadata::boundingBox(Rect* outValue) const
{
    if (!NX_KIT_ASSERT(printLine, outValue, ""))
        return;
    *outValue = m_boundingBox;
}

}  // namespace nx::sdk::analytics
