// Ptr: an owning smart pointer to a ref-countable object; holds exactly one reference.
//
// Copying adds a reference, moving transfers it, destroying or resetting releases it.
// Assignment adds the new reference before releasing the old one, so self-assignment and
// assigning an object that the old one owns are safe. A Ptr is not itself thread-safe;
// the counts it changes are.

#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "i_ref_countable.h"

namespace nx::sdk
{

template <class T>
class Ptr
{
public:
    Ptr() = default;
    Ptr(std::nullptr_t) {}

    // Adopts a reference the caller already owns (a new object, a queryInterface result).
    explicit Ptr(T* ptr) : m_ptr(ptr) {}

    Ptr(const Ptr& other) : m_ptr(other.m_ptr) { addRef(); }

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ptr(const Ptr<U>& other) : m_ptr(other.get())
    {
        addRef();
    }

    Ptr(Ptr&& other) noexcept : m_ptr(other.releasePtr()) {}

    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ptr(Ptr<U>&& other) noexcept : m_ptr(other.releasePtr())
    {
    }

    ~Ptr() { releaseRef(); }

    Ptr& operator=(const Ptr& other)
    {
        if (other.m_ptr)
            other.m_ptr->addRef();
        T* old = std::exchange(m_ptr, other.m_ptr);
        if (old)
            old->releaseRef();
        return *this;
    }

    Ptr& operator=(Ptr&& other) noexcept
    {
        if (&other != this)
            reset(other.releasePtr());
        return *this;
    }

    Ptr& operator=(std::nullptr_t)
    {
        reset();
        return *this;
    }

    // Releases the held reference and adopts `ptr` (whose reference the caller owns).
    void reset(T* ptr = nullptr)
    {
        T* old = std::exchange(m_ptr, ptr);
        if (old)
            old->releaseRef();
    }

    // Gives up the held reference to the caller without releasing it.
    T* releasePtr() { return std::exchange(m_ptr, nullptr); }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    // The object's count as addRef/releaseRef report it, or 0 for null (tests only: it
    // adds and drops a reference to read it).
    int32_t refCount() const
    {
        if (!m_ptr)
            return 0;
        m_ptr->addRef();
        return m_ptr->releaseRef();
    }

private:
    void addRef() const
    {
        if (m_ptr)
            m_ptr->addRef();
    }

    void releaseRef() const
    {
        if (m_ptr)
            m_ptr->releaseRef();
    }

    T* m_ptr = nullptr;
};

template <class T, class U>
bool operator==(const Ptr<T>& a, const Ptr<U>& b)
{
    return a.get() == b.get();
}

template <class T, class U>
bool operator!=(const Ptr<T>& a, const Ptr<U>& b)
{
    return a.get() != b.get();
}

template <class T>
bool operator==(const Ptr<T>& a, std::nullptr_t)
{
    return !a;
}

template <class T>
bool operator!=(const Ptr<T>& a, std::nullptr_t)
{
    return static_cast<bool>(a);
}

// Wraps a reference the caller owns, without adding one.
template <class T>
Ptr<T> toPtr(T* ptr)
{
    return Ptr<T>(ptr);
}

// Wraps a borrowed object, adding a reference for the new Ptr.
template <class T>
Ptr<T> shareToPtr(T* ptr)
{
    if (ptr)
        ptr->addRef();
    return Ptr<T>(ptr);
}

// Creates a new object; the Ptr adopts the reference it is born with.
template <class T, class... Args>
Ptr<T> makePtr(Args&&... args)
{
    return Ptr<T>(new T(std::forward<Args>(args)...));
}

// Asks `object` for interface I by its id; null when the object does not implement it.
template <class I, class T>
Ptr<I> queryInterfacePtr(T* object)
{
    if (!object)
        return Ptr<I>();
    // The object is const-qualified only for reading; queryInterface adds a reference.
    auto* mutableObject = const_cast<std::remove_const_t<T>*>(object);
    return Ptr<I>(static_cast<I*>(mutableObject->queryInterface(I::interfaceId())));
}

template <class I, class T>
Ptr<I> queryInterfacePtr(const Ptr<T>& object)
{
    return queryInterfacePtr<I>(object.get());
}

}  // namespace nx::sdk
