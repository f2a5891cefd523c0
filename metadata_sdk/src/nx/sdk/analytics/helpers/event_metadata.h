// EventMetadata: the library's IEventMetadata, one analytics event.
//
// Defaults: empty texts, confidence 1.0, inactive, no attributes, all-zero track id.
// Not locked: filled by one thread with the setters before it is published.

#pragma once

#include <string>
#include <vector>

#include <nx/sdk/analytics/i_event_metadata.h>
#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class EventMetadata final : public RefCountable<IEventMetadata>
{
public:
    EventMetadata() = default;

    // Sets the event type id.
    void setTypeId(std::string typeId);

    // Sets the caption shown for the event.
    void setCaption(std::string caption);

    // Sets the description shown for the event.
    void setDescription(std::string description);

    // Sets whether the event starts (true) or ends (false).
    void setIsActive(bool isActive);

    // Sets the key that names this occurrence of the event.
    void setKey(std::string key);

    const char* typeId() const override;
    float confidence() const override;
    const IAttribute* attribute(int i) const override;
    int attributeCount() const override;
    const char* caption() const override;
    const char* description() const override;
    bool isActive() const override;
    void trackId(Uuid* outValue) const override;
    const char* key() const override;

private:
    ~EventMetadata() override = default;

    std::string m_typeId;
    float m_confidence = 1.0F;
    std::string m_caption;
    std::string m_description;
    bool m_isActive = false;
    std::vector<Ptr<Attribute>> m_attributes;
    Uuid m_trackId;
    std::string m_key;
};

}  // namespace nx::sdk::analytics
