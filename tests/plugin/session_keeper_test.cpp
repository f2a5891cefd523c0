// The background threads of the camera sessions: their limit, their wake-ups and the
// removal of a task whose work is in flight.

#include "plugin/session_keeper.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

// A task that asks for work `works` times, each work waiting until it is released or
// cancelled; between works it waits to be woken.
class BlockingTask final : public SessionKeeper::Task
{
public:
    explicit BlockingTask(int works) : m_worksLeft(works) {}

    SessionKeeper::Look look(int64_t /*nowMs*/) override
    {
        ++looks;
        const std::lock_guard<std::mutex> lock(m_mutex);
        return {m_worksLeft > 0 && m_worksLeft-- > 0, SessionKeeper::kNever};
    }

    void work(const std::atomic<bool>& cancelled) override
    {
        const int now = ++running;
        for (int seen = maxRunning.load();
             now > seen && !maxRunning.compare_exchange_weak(seen, now);)
        {
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        // The cancellation comes with no notification, as a Camera SDK call would see it.
        while (!m_released && !cancelled.load())
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
        --running;
        ++worked;
    }

    void release()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_wake.notify_all();
    }

    void addWork()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_worksLeft;
    }

    static std::atomic<int> running;
    static std::atomic<int> maxRunning;
    std::atomic<int> looks{0};
    std::atomic<int> worked{0};

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_worksLeft;
    bool m_released = false;
};

std::atomic<int> BlockingTask::running{0};
std::atomic<int> BlockingTask::maxRunning{0};

// Waits (up to a generous bound) until `condition` holds.
template <typename Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 2000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

TEST(SessionKeeperTest, NoMoreThanEightWorksRunAtOnceAndEveryOneRuns)
{
    SessionKeeper keeper;
    std::vector<std::unique_ptr<BlockingTask>> tasks;
    for (int i = 0; i < 20; ++i)
    {
        tasks.push_back(std::make_unique<BlockingTask>(1));
        keeper.add(tasks.back().get());
    }
    ASSERT_TRUE(eventually([] { return BlockingTask::running.load() == 8; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(BlockingTask::running.load(), SessionKeeper::kMaxWorkers);
    for (const auto& task : tasks)
        task->release();
    EXPECT_TRUE(eventually(
        [&]
        {
            int worked = 0;
            for (const auto& task : tasks)
                worked += task->worked.load();
            return worked == 20;
        }));
    EXPECT_EQ(BlockingTask::maxRunning.load(), SessionKeeper::kMaxWorkers);
    EXPECT_EQ(keeper.workerCount(), SessionKeeper::kMaxWorkers);
    for (const auto& task : tasks)
        keeper.remove(task.get());
}

TEST(SessionKeeperTest, ATaskIsLookedAtAgainWhenWokenAndNeverOnceRemoved)
{
    SessionKeeper keeper;
    BlockingTask task(0);
    task.release();
    keeper.add(&task);
    ASSERT_TRUE(eventually([&] { return task.looks.load() == 1; }));
    task.addWork();
    keeper.wake(&task);
    ASSERT_TRUE(eventually([&] { return task.worked.load() == 1; }));

    // Removing waits for the work in flight, which sees its cancellation.
    BlockingTask busy(1);
    keeper.add(&busy);
    ASSERT_TRUE(eventually([&] { return busy.running.load() == 1; }));
    keeper.remove(&busy);
    EXPECT_EQ(busy.worked.load(), 1);
    keeper.remove(&task);
    const int looks = task.looks.load();
    keeper.wake(&task);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(task.looks.load(), looks);
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
