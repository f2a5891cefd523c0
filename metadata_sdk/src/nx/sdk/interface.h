// Interface: declares a versioned interface in a single-inheritance chain.
//
// `class IFoo1: public Interface<IFoo1, IFoo0>` makes IFoo1 extend IFoo0. Each interface
// supplies `static constexpr const char* interfaceId()`; the chain ends at IRefCountable.
// RefCountable walks the chain from the most derived interface towards the root, so an
// object answers the ids of the newest version first, then of every version it extends.
// Single inheritance keeps every interface view of an object at the same address.

#pragma once

#include "i_ref_countable.h"

namespace nx::sdk
{

template <class DerivedInterface, class BaseInterface = IRefCountable>
class Interface : public BaseInterface
{
public:
    using Base = BaseInterface;

protected:
    ~Interface() = default;
};

}  // namespace nx::sdk
