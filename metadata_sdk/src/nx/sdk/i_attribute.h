// IAttribute: one named text value of an analytics object or event, with a confidence.
//
// Immutable once built; may be read and released from any thread.

#pragma once

#include <stdint.h>

#include <nx/sdk/interface.h>

namespace nx::sdk
{

class IAttribute : public Interface<IAttribute>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::IAttribute"; }

    // The kind of value an attribute holds; this library only produces `undefined`.
    enum class Type : int32_t
    {
        undefined = 0,
    };

    // Slot 4: the kind of value.
    virtual Type type() const = 0;

    // Slot 5: the attribute name.
    virtual const char* name() const = 0;

    // Slot 6: the attribute value as text.
    virtual const char* value() const = 0;

    // Slot 7: the confidence, 0 to 1.
    virtual float confidence() const = 0;

protected:
    ~IAttribute() = default;
};

}  // namespace nx::sdk
