// The host's tally of live objects: what the leak checks of every test rely on.

#include "host/object_tracker.h"

#include <gtest/gtest.h>

#include <nx/sdk/ptr.h>

#include "host/host_object.h"

namespace korvane::host
{
namespace
{

TEST(ObjectTrackerTest, CountsLiveObjectsAndBadDestructions)
{
    ObjectTracker tracker;
    int a = 0;
    int b = 0;
    tracker.objectCreated(&a);
    tracker.objectCreated(&b);
    EXPECT_EQ(tracker.liveCount(), 2);
    EXPECT_TRUE(tracker.isAlive(&a));
    tracker.objectDestroyed(&a);
    tracker.objectDestroyed(&a);  //< A second destruction of the same address.
    EXPECT_EQ(tracker.liveCount(), 1);
    EXPECT_FALSE(tracker.isAlive(&a));
    EXPECT_EQ(tracker.badDestroyCount(), 1);
    EXPECT_EQ(tracker.createdCount(), 2);
}

TEST(ObjectTrackerTest, HostObjectsAreTrackedThroughTheInstalledRegistry)
{
    const auto tracker = hostObjectTracker();
    const int before = tracker->liveCount();
    const nx::sdk::IRefCountable* address = nullptr;
    {
        const auto object = nx::sdk::makePtr<HostObject>();
        address = object.get();
        EXPECT_TRUE(tracker->isAlive(address));
        EXPECT_EQ(tracker->liveCount(), before + 1);
    }
    EXPECT_FALSE(tracker->isAlive(address));
    EXPECT_EQ(tracker->liveCount(), before);
}

}  // namespace
}  // namespace korvane::host
