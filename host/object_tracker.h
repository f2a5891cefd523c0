// ObjectTracker: a tally of the ref-countable objects alive in one library, by address.
//
// TrackingRegistry feeds it from the notifications of the library's reference-counting
// head, so a test or a run can assert at its end that nothing leaked and that no object
// was destroyed twice (or destroyed without having been created). Thread-safe: objects are
// created and destroyed on every thread.

#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>

#include <nx/sdk/i_lib_context.h>

namespace korvane::host
{

class ObjectTracker
{
public:
    // Records a newly created object.
    void objectCreated(const void* object);

    // Records the destruction of an object; an unknown address counts as a bad destruction.
    void objectDestroyed(const void* object);

    // The number of objects created and not yet destroyed.
    int liveCount() const;

    // The number of objects created since the tracker was made.
    int64_t createdCount() const;

    // Destructions of objects that were not alive: double releases or foreign objects.
    int badDestroyCount() const;

    // Whether `object` is alive.
    bool isAlive(const void* object) const;

private:
    mutable std::mutex m_mutex;
    std::set<const void*> m_live;
    int64_t m_created = 0;
    int m_badDestroys = 0;
};

// The registry that a host installs in a library context; forwards to a shared tracker,
// which outlives it (the library context owns and deletes the registry).
class TrackingRegistry final
    : public nx::sdk::ImplementsDestructorSlot<nx::sdk::IRefCountableRegistry>
{
public:
    explicit TrackingRegistry(std::shared_ptr<ObjectTracker> tracker);

    void notifyCreated(const nx::sdk::IRefCountable* object, int32_t refCount) override;
    void notifyDestroyed(const nx::sdk::IRefCountable* object, int32_t refCount) override;

private:
    const std::shared_ptr<ObjectTracker> m_tracker;
};

// The tracker of the objects that the host itself creates (device information, handlers,
// packets): installed once in this executable's own library context on first use.
std::shared_ptr<ObjectTracker> hostObjectTracker();

}  // namespace korvane::host
