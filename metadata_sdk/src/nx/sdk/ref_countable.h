// RefCountable: the implementation of IRefCountable that every library object derives from.
//
// The counting lives in one small non-template unit (RefCounter) using sequentially
// consistent atomics, so addRef/releaseRef are lock-free and allocation-free and may be
// called from any thread. The template only answers queryInterface by walking the
// interface chain of its most derived interface; slot 0, the destructor, comes from
// ImplementsDestructorSlot. Construction and destruction are reported to the library
// context's ref-countable registry, when one is installed.

#pragma once

#include <atomic>
#include <cstring>
#include <type_traits>

#include "i_ref_countable.h"
#include "interface_layout.h"

namespace nx::sdk
{

namespace detail
{

// Tells the library context's registry, if any, that `object` was created/destroyed.
void notifyRefCountableCreated(const IRefCountable* object, int32_t refCount);
void notifyRefCountableDestroyed(const IRefCountable* object, int32_t refCount);

// The atomic reference count; starts at 1.
class RefCounter
{
public:
    // Increments; returns the new count.
    int32_t increment() { return ++m_count; }

    // Decrements; returns the new count.
    int32_t decrement() { return --m_count; }

    // The current count.
    int32_t value() const { return m_count.load(); }

private:
    std::atomic<int32_t> m_count{1};
};

// True when `a` and `b` are the same zero-terminated text. A null `a` matches nothing.
inline bool sameId(const char* a, const char* b)
{
    return a != nullptr && std::strcmp(a, b) == 0;
}

}  // namespace detail

template <class RootInterface>
class RefCountable : public ImplementsDestructorSlot<RootInterface>
{
public:
    RefCountable(const RefCountable&) = delete;
    RefCountable& operator=(const RefCountable&) = delete;

    IRefCountable* queryInterface(const char* id) override { return queryChain<RootInterface>(id); }

    int32_t addRef() const override { return m_refCounter.increment(); }

    int32_t releaseRef() const override
    {
        const int32_t count = m_refCounter.decrement();
        if (count == 0)
            delete this;
        return count;
    }

    // The current reference count (for diagnostics and tests; racy by nature).
    int32_t refCount() const { return m_refCounter.value(); }

protected:
    RefCountable() { detail::notifyRefCountableCreated(this, m_refCounter.value()); }

    ~RefCountable() override { detail::notifyRefCountableDestroyed(this, m_refCounter.value()); }

private:
    template <class I>
    IRefCountable* queryChain(const char* id)
    {
        if (detail::sameId(id, I::interfaceId()))
        {
            addRef();
            return static_cast<I*>(this);
        }
        if constexpr (std::is_same_v<I, IRefCountable>)
            return nullptr;
        else
            return queryChain<typename I::Base>(id);
    }

    mutable detail::RefCounter m_refCounter;
};

}  // namespace nx::sdk
