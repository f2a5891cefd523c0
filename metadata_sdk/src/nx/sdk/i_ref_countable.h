// IRefCountable: the root of every interface that crosses the host boundary.
//
// Objects are reached only through tables of virtual operations in a fixed order:
// destructor, queryInterface, addRef, releaseRef (interface_layout.h makes slot 0 the
// destructor the host's compiler expects). Lifetime is governed by an intrusive
// reference count; the object is destroyed by the releaseRef that brings it to 0.
// All operations may be called from any thread.

#pragma once

#include <stdint.h>

#include "interface_layout.h"

namespace nx::sdk
{

class IRefCountable : public DestructorSlot
{
protected:
    // Slot 0 is the destructor; only releaseRef destroys an interface object.
    ~IRefCountable() = default;

public:
    // The id text of this interface, compared byte for byte by queryInterface.
    static constexpr const char* interfaceId() { return "nx::sdk::IRefCountable"; }

    // Returns this object as the interface named by `id` with one reference added,
    // or null (count unchanged) when the object does not implement it.
    virtual IRefCountable* queryInterface(const char* id) = 0;

    // Adds one reference; returns the new count.
    virtual int32_t addRef() const = 0;

    // Drops one reference, destroying the object when the count reaches 0; returns the new count.
    virtual int32_t releaseRef() const = 0;
};

}  // namespace nx::sdk
