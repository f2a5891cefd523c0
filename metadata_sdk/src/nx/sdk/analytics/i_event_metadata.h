// IEventMetadata: one analytics event (caption, description, active state, track id, key).
//
// Three versions, each extending the previous one: IEventMetadata0 (id
// "nx::sdk::analytics::IEventMetadata"), IEventMetadata1 (adds the track id) and
// IEventMetadata (id "nx::sdk::analytics::IEventMetadata2", adds the key).
// Filled by one thread before it is published; readers take no lock.

#pragma once

#include <nx/sdk/analytics/i_metadata.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class IEventMetadata0 : public Interface<IEventMetadata0, IMetadata>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEventMetadata"; }

    // Slot 8: the caption shown for the event.
    virtual const char* caption() const = 0;

    // Slot 9: the description shown for the event.
    virtual const char* description() const = 0;

    // Slot 10: true when the event starts (or is going on), false when it ends.
    virtual bool isActive() const = 0;

protected:
    ~IEventMetadata0() = default;
};

class IEventMetadata1 : public Interface<IEventMetadata1, IEventMetadata0>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEventMetadata1"; }

    // Slot 11: copies the track id into *outValue; a null outValue is reported and ignored.
    virtual void trackId(Uuid* outValue) const = 0;

protected:
    ~IEventMetadata1() = default;
};

class IEventMetadata : public Interface<IEventMetadata, IEventMetadata1>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEventMetadata2"; }

    // Slot 12: the key that names this occurrence of the event.
    virtual const char* key() const = 0;

protected:
    ~IEventMetadata() = default;
};

}  // namespace nx::sdk::analytics
