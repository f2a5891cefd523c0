// The agent registries under failed allocations: an agent is in both registries or in
// neither, and a failed entry leaves nothing behind that a walk could find.

#include "plugin/agent_registry.h"

#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

namespace
{

// The allocation at which operator new fails on this thread; negative for none.
thread_local int t_failingAllocation = -1;

}  // namespace

// GCC, seeing these inlined where an object is deleted, would take the free() for a
// mismatch with the operator new it cannot see through.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// Counts down the allocations of this thread while a failure is armed, and fails the one
// it reaches; otherwise as the standard operator new.
void* operator new(std::size_t size)
{
    if (t_failingAllocation >= 0 && t_failingAllocation-- == 0)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t /*size*/) noexcept
{
    std::free(block);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace nx::vms_server_plugins::analytics::sample::test
{
namespace
{

TEST(AgentRegistryTest, EnteringBothRegistriesSucceedsWholeOrLeavesNeither)
{
    int agentStorage = 0;
    auto* const agent = reinterpret_cast<DeviceAgent*>(&agentStorage);
    void* const handle = &agentStorage;
    int failures = 0;
    for (int failAt = 0;; ++failAt)
    {
        AgentRegistry first;
        AgentRegistry second;
        bool entered = true;
        t_failingAllocation = failAt;
        try
        {
            enterBoth(&first, &second, agent, handle);
        }
        catch (const std::bad_alloc&)
        {
            entered = false;
        }
        t_failingAllocation = -1;
        SCOPED_TRACE(failAt);
        EXPECT_EQ(first.size(), entered ? 1 : 0);
        EXPECT_EQ(second.size(), entered ? 1 : 0);
        int visits = 0;
        first.forEachAgentOf(handle, [&](DeviceAgent*) { ++visits; });
        EXPECT_EQ(visits, entered ? 1 : 0);
        if (entered)
            break;
        ++failures;
    }
    EXPECT_GE(failures, 2) << "both registries' allocations were failed in turn";
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample::test
