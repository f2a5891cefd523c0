// The binary layout of interface tables, as the host server's compiler lays them out.
//
// A Linux server is built with GCC's C++ ABI and a Windows server with the Microsoft C++
// ABI. Built by either of those, the interfaces are plain C++: a virtual destructor first,
// operations returning structures by value. MinGW's g++ targets Windows with GCC's C++ ABI,
// which differs from the Microsoft one in two ways that matter at the boundary:
// - a virtual destructor takes two table slots instead of the Microsoft ABI's single
//   deleting destructor, so every later slot would move by one;
// - an operation returning a structure receives its hidden result buffer before `this`,
//   where the Microsoft ABI passes `this` first and the buffer second.
// Built by MinGW, the interfaces therefore spell the Microsoft layout out: slot 0 is an
// explicit deleting-destructor operation, and an operation returning a structure takes its
// result buffer as an explicit argument after `this` and returns its address.
//
// This header is the one place that knows about the difference. It needs no standard
// library, so that a freestanding host can include the interfaces too. Not locked: it
// declares types only.

#pragma once

#if defined(_WIN32) && !defined(_MSC_VER)
#define NX_SDK_EXPLICIT_MICROSOFT_LAYOUT 1
#else
#define NX_SDK_EXPLICIT_MICROSOFT_LAYOUT 0
#endif

namespace nx::sdk
{

class DestructorSlot;

// Destroys an interface object that this side did not create, through its slot 0, and
// frees its memory: what `delete` does through a virtual destructor.
// REQUIRES: `object` is null or owned by the caller.
inline void deleteInterfaceObject(DestructorSlot* object);

#if NX_SDK_EXPLICIT_MICROSOFT_LAYOUT

// Slot 0 of every interface table.
class DestructorSlot
{
public:
    // The Microsoft ABI's deleting destructor: destroys the object, frees its memory when
    // bit 0 of `flags` is set, and returns the object's address.
    virtual void* deletingDestructor(unsigned int flags) = 0;

protected:
    ~DestructorSlot() = default;
};

inline void deleteInterfaceObject(DestructorSlot* object)
{
    if (object)
        object->deletingDestructor(/*flags: free the memory*/ 1);
}

// The implementation of slot 0 for a class implementing `Interface`: the class's own
// virtual destructor, which follows the interface's slots in the table, does the work.
template <class Interface>
class ImplementsDestructorSlot : public Interface
{
public:
    void* deletingDestructor(unsigned int flags) override
    {
        if (flags & 1)
            delete this;
        else
            this->~ImplementsDestructorSlot();
        return this;
    }

protected:
    virtual ~ImplementsDestructorSlot() = default;
};

// In an interface: declares the operation `name` that returns a `Type` by value, as slot
// `name##Into` taking the result buffer after `this`, and a non-virtual `name()` for callers.
#define NX_SDK_RETURNS_BY_VALUE(Type, name)           \
    virtual Type* name##Into(Type* result) const = 0; \
    Type name() const                                 \
    {                                                 \
        Type result;                                  \
        name##Into(&result);                          \
        return result;                                \
    }

// In an implementation: starts the definition of an operation declared with
// NX_SDK_RETURNS_BY_VALUE; the function body that follows returns the `Type`.
#define NX_SDK_RETURN_BY_VALUE_OVERRIDE(Type, name) \
    Type* name##Into(Type* result) const override   \
    {                                               \
        *result = name##Value();                    \
        return result;                              \
    }                                               \
    Type name##Value() const

#else  // The compiler's own layout is the host's.

// Slot 0 of every interface table (two entries in GCC's ABI, one in the Microsoft ABI).
class DestructorSlot
{
protected:
    virtual ~DestructorSlot() = default;

    friend void deleteInterfaceObject(DestructorSlot* object);
};

inline void deleteInterfaceObject(DestructorSlot* object)
{
    delete object;
}

// The implementation of slot 0 for a class implementing `Interface`: the virtual destructor.
template <class Interface>
class ImplementsDestructorSlot : public Interface
{
protected:
    ~ImplementsDestructorSlot() override = default;
};

#define NX_SDK_RETURNS_BY_VALUE(Type, name) virtual Type name() const = 0;

#define NX_SDK_RETURN_BY_VALUE_OVERRIDE(Type, name) Type name() const override

#endif

}  // namespace nx::sdk
