#include "event_metadata.h"

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

void EventMetadata::setTypeId(std::string typeId)
{
    m_typeId = std::move(typeId);
}

void EventMetadata::setCaption(std::string caption)
{
    m_caption = std::move(caption);
}

void EventMetadata::setDescription(std::string description)
{
    m_description = std::move(description);
}

void EventMetadata::setIsActive(bool isActive)
{
    m_isActive = isActive;
}

void EventMetadata::setKey(std::string key)
{
    m_key = std::move(key);
}

const char* EventMetadata::typeId() const
{
    return m_typeId.c_str();
}

float EventMetadata::confidence() const
{
    return m_confidence;
}

const IAttribute* EventMetadata::attribute(int i) const
{
    return attributeAt(m_attributes, i);
}

int EventMetadata::attributeCount() const
{
    return static_cast<int>(m_attributes.size());
}

const char* EventMetadata::caption() const
{
    return m_caption.c_str();
}

const char* EventMetadata::description() const
{
    return m_description.c_str();
}

bool EventMetadata::isActive() const
{
    return m_isActive;
}

void EventMetadata::trackId(Uuid* outValue) const
{
    if (!NX_KIT_ASSERT(printLine, outValue, ""))
        return;
    *outValue = m_trackId;
}

const char* EventMetadata::key() const
{
    return m_key.c_str();
}

}  // namespace nx::sdk::analytics
