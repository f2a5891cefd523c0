// IString: a text handed across the host boundary as a ref-countable object.
//
// Immutable once published; may be read and released from any thread.

#pragma once

#include <nx/sdk/interface.h>

namespace nx::sdk
{

class IString : public Interface<IString>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::IString"; }

    // Slot 4: the zero-terminated text, valid while the object lives.
    virtual const char* str() const = 0;

protected:
    ~IString() = default;
};

}  // namespace nx::sdk
