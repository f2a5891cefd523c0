// IStringMap: a read-only map from text to text, ordered by byte-wise key comparison.
//
// Entries are reached by key or by index in key order. Readers take no lock; a map is
// filled by one thread before it is published.

#pragma once

#include <nx/sdk/interface.h>

namespace nx::sdk
{

class IStringMap : public Interface<IStringMap>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::IStringMap"; }

    // Slot 4: the number of entries.
    virtual int count() const = 0;

    // Slot 5: the key of the i-th entry in key order; null when i is out of range.
    virtual const char* key(int i) const = 0;

    // Slot 6: the value stored under `key`; null when `key` is null or absent.
    virtual const char* value(const char* key) const = 0;

    // Slot 7: the value of the i-th entry in key order; null when i is out of range.
    virtual const char* valueAt(int i) const = 0;

protected:
    ~IStringMap() = default;
};

}  // namespace nx::sdk
