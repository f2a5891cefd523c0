// Attribute: the library's IAttribute, one named text value with a confidence.
//
// Immutable after construction, so it may be read and released from any thread.

#pragma once

#include <string>
#include <vector>

#include <nx/sdk/i_attribute.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk
{

class Attribute final : public RefCountable<IAttribute>
{
public:
    // Takes over `name` and `value`; the type is always `Type::undefined`.
    Attribute(std::string name, std::string value, float confidence);

    Type type() const override;
    const char* name() const override;
    const char* value() const override;
    float confidence() const override;

private:
    ~Attribute() override = default;

    const Type m_type = Type::undefined;
    const std::string m_name;
    const std::string m_value;
    const float m_confidence;
};

// The i-th attribute of a list with a reference added for the caller; null when i is out
// of range. Shared by the metadata classes.
const IAttribute* attributeAt(const std::vector<Ptr<Attribute>>& attributes, int i);

}  // namespace nx::sdk
