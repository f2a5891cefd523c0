#include "object_tracker.h"

#include <nx/sdk/helpers/lib_context.h>

namespace korvane::host
{

void ObjectTracker::objectCreated(const void* object)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_live.insert(object);
    ++m_created;
}

void ObjectTracker::objectDestroyed(const void* object)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_live.erase(object) == 0)
        ++m_badDestroys;
}

int ObjectTracker::liveCount() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_live.size());
}

int64_t ObjectTracker::createdCount() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_created;
}

int ObjectTracker::badDestroyCount() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_badDestroys;
}

bool ObjectTracker::isAlive(const void* object) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_live.count(object) != 0;
}

TrackingRegistry::TrackingRegistry(std::shared_ptr<ObjectTracker> tracker)
    : m_tracker(std::move(tracker))
{
}

void TrackingRegistry::notifyCreated(const nx::sdk::IRefCountable* object, int32_t /*refCount*/)
{
    m_tracker->objectCreated(object);
}

void TrackingRegistry::notifyDestroyed(const nx::sdk::IRefCountable* object, int32_t /*refCount*/)
{
    m_tracker->objectDestroyed(object);
}

std::shared_ptr<ObjectTracker> hostObjectTracker()
{
    static const std::shared_ptr<ObjectTracker> tracker = []()
    {
        auto created = std::make_shared<ObjectTracker>();
        nx::sdk::libContext().setRefCountableRegistry(new TrackingRegistry(created));
        return created;
    }();
    return tracker;
}

}  // namespace korvane::host
