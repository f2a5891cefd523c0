#include "session_keeper.h"

#include <chrono>

#include <nx/kit/immortal.h>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// The one keeper of the process, reached through a weak reference: the holders own it.
struct SharedKeeper
{
    korvane::port::Mutex mutex;
    std::weak_ptr<SessionKeeper> keeper GUARDED_BY(mutex);
};

}  // namespace

std::shared_ptr<SessionKeeper> SessionKeeper::shared()
{
    // Never destroyed: it holds no thread, and a late holder may still ask at unload.
    static auto* const shared = nx::kit::makeImmortal(new SharedKeeper());
    const korvane::port::MutexLock lock(&shared->mutex);
    std::shared_ptr<SessionKeeper> keeper = shared->keeper.lock();
    if (!keeper)
    {
        // Not make_shared: the weak reference would keep the keeper's storage.
        keeper = std::shared_ptr<SessionKeeper>(new SessionKeeper());
        shared->keeper = keeper;
    }
    return keeper;
}

SessionKeeper::SessionKeeper() : m_scheduler([this] { schedule(); }) {}

SessionKeeper::~SessionKeeper()
{
    std::vector<std::thread> workers;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        m_stopping = true;
        workers.swap(m_workers);
    }
    m_scheduleWake.notify_all();
    m_workWake.notify_all();
    m_scheduler.join();
    for (std::thread& worker : workers)
        worker.join();
}

int64_t SessionKeeper::nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SessionKeeper::add(Task* task)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto [it, inserted] = m_entries.emplace(task, std::make_unique<Entry>(task));
    if (inserted)
        setLookAt(it->second.get(), nowMs());
}

void SessionKeeper::wake(Task* task)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto it = m_entries.find(task);
    if (it == m_entries.end() || it->second->removing)
        return;
    Entry* const entry = it->second.get();
    if (entry->busy || entry->queued)
        entry->woken = true;
    else
        setLookAt(entry, nowMs());
}

void SessionKeeper::remove(Task* task)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto it = m_entries.find(task);
    if (it == m_entries.end())
        return;
    Entry* const entry = it->second.get();
    entry->removing = true;
    entry->cancelled.store(true);
    setLookAt(entry, kNever);
    if (entry->queued)
    {
        for (auto queued = m_work.begin(); queued != m_work.end(); ++queued)
        {
            if (*queued == entry)
            {
                m_work.erase(queued);
                break;
            }
        }
        entry->queued = false;
    }
    while (entry->busy)
        m_taskIdle.wait(m_mutex);
    m_mutex.assertHeld();
    m_entries.erase(task);
}

int SessionKeeper::workerCount() const
{
    const korvane::port::MutexLock lock(&m_mutex);
    return static_cast<int>(m_workers.size());
}

void SessionKeeper::schedule()
{
    const korvane::port::MutexLock lock(&m_mutex);
    while (!m_stopping)
    {
        const int64_t now = nowMs();
        if (!m_timeline.empty() && m_timeline.begin()->first <= now)
        {
            Entry* const entry = m_timeline.begin()->second;
            setLookAt(entry, kNever);
            lookAt(entry);
            continue;
        }
        if (m_timeline.empty())
            m_scheduleWake.wait(m_mutex);
        else
            m_scheduleWake.wait_for(m_mutex,
                                    std::chrono::milliseconds(m_timeline.begin()->first - now));
        m_mutex.assertHeld();
    }
}

void SessionKeeper::lookAt(Entry* entry)
{
    entry->busy = true;
    entry->woken = false;
    m_mutex.unlock();
    Look look;
    try
    {
        look = entry->task->look(nowMs());
    }
    catch (...)
    {
        look = Look{};  //< Tasks do not throw; one that did is looked at again when woken.
    }
    m_mutex.lock();
    entry->busy = false;
    if (entry->removing)
        m_taskIdle.notify_all();
    else if (look.work)
        queueWork(entry);
    else
        setLookAt(entry, entry->woken ? nowMs() : look.nextLookMs);
}

void SessionKeeper::setLookAt(Entry* entry, int64_t atMs)
{
    if (entry->onTimeline)
    {
        m_timeline.erase(entry->timelineNode);
        entry->onTimeline = false;
    }
    if (atMs == kNever)
        return;
    entry->timelineNode = m_timeline.emplace(atMs, entry);
    entry->onTimeline = true;
    if (entry->timelineNode == m_timeline.begin())
        m_scheduleWake.notify_one();
}

void SessionKeeper::queueWork(Entry* entry)
{
    entry->queued = true;
    m_work.push_back(entry);
    if (static_cast<int>(m_work.size()) > m_idleWorkers &&
        static_cast<int>(m_workers.size()) < kMaxWorkers)
        m_workers.emplace_back([this] { runWorker(); });
    else
        m_workWake.notify_one();
}

void SessionKeeper::runWorker()
{
    const korvane::port::MutexLock lock(&m_mutex);
    while (true)
    {
        while (!m_stopping && m_work.empty())
        {
            ++m_idleWorkers;
            m_workWake.wait(m_mutex);
            m_mutex.assertHeld();
            --m_idleWorkers;
        }
        if (m_stopping)
            return;
        Entry* const entry = m_work.front();
        m_work.pop_front();
        entry->queued = false;
        entry->busy = true;
        m_mutex.unlock();
        try
        {
            entry->task->work(entry->cancelled);
        }
        catch (...)
        {
            // Tasks do not throw; one that did is looked at again below.
        }
        m_mutex.lock();
        entry->busy = false;
        if (entry->removing)
            m_taskIdle.notify_all();
        else
            setLookAt(entry, nowMs());
    }
}

}  // namespace nx::vms_server_plugins::analytics::sample
