// IMetadata: what every analytics metadata item (event or object) has: a type id, a
// confidence and a list of attributes.
//
// Filled by one thread before it is published; readers take no lock.

#pragma once

#include <nx/sdk/i_attribute.h>
#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IMetadata : public Interface<IMetadata>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IMetadata"; }

    // Slot 4: the type id, as declared in the manifests.
    virtual const char* typeId() const = 0;

    // Slot 5: the confidence, 0 to 1.
    virtual float confidence() const = 0;

    // Slot 6: the i-th attribute with a reference added; null when i is out of range.
    virtual const IAttribute* attribute(int i) const = 0;

    // Slot 7: the number of attributes.
    virtual int attributeCount() const = 0;

protected:
    ~IMetadata() = default;
};

}  // namespace nx::sdk::analytics
