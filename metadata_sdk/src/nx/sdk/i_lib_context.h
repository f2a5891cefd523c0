// ILibContext: the process-wide context of the library as the host sees it.
//
// The host names the library (the name starts every diagnostic prefix) and may install a
// registry that watches the creation and destruction of ref-countable objects. The
// context is not ref-counted; one exists per process.

#pragma once

#include <stdint.h>

#include "i_ref_countable.h"

namespace nx::sdk
{

// Host-side observer of ref-countable objects; owned by the library context once installed.
class IRefCountableRegistry : public DestructorSlot
{
public:
    // Called by every ref-countable object at the end of its base construction.
    virtual void notifyCreated(const IRefCountable* object, int32_t refCount) = 0;

    // Called by every ref-countable object after its derived destructors have run.
    virtual void notifyDestroyed(const IRefCountable* object, int32_t refCount) = 0;

protected:
    // Slot 0; the library context deletes the registry through deleteInterfaceObject.
    ~IRefCountableRegistry() = default;
};

class ILibContext : public DestructorSlot
{
public:
    // Gives the library its name; once named, a different name is refused.
    virtual void setName(const char* name) = 0;

    // Installs the host's registry; ownership passes to the context. Only the first is kept.
    virtual void setRefCountableRegistry(IRefCountableRegistry* refCountableRegistry) = 0;

protected:
    // Slot 0; the context lives as long as the library.
    ~ILibContext() = default;
};

}  // namespace nx::sdk
