// SessionKeeper: the background threads on which device agents work on their camera
// sessions (opening them again, checking them), so that no host call waits for a camera.
//
// A task (one per device agent) is looked at on the keeper's scheduling thread when its time
// comes or when it is woken; a look is cheap and never calls the Camera SDK. When a look asks
// for camera work, the work runs on one of at most kMaxWorkers worker threads, so that a
// thousand cameras coming back after a power cut never have more than that many logins and
// checks in flight at once. One keeper serves the whole process while anything holds it; its
// threads belong to those holders (the engine and the device agents, objects that the host
// releases), never to a static object, and are joined when the last holder lets it go.
//
// Thread-safety: every operation may be called from any thread except a task's own look() or
// work(). A task is looked at or worked on by one thread at a time, never both at once.

#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <thread>
#include <unordered_map>
#include <vector>

#include "port/mutex.h"

namespace nx::vms_server_plugins::analytics::sample
{

class SessionKeeper
{
public:
    static constexpr int kMaxWorkers = 8;

    // A time that never comes: the task is looked at again only when it is woken.
    static constexpr int64_t kNever = INT64_MAX;

    struct Look
    {
        bool work = false;            //< Run work() now; the task is looked at again after it.
        int64_t nextLookMs = kNever;  //< Otherwise, when to look again.
    };

    class Task
    {
    public:
        virtual ~Task() = default;

        // Decides, at `nowMs` of nowMs()'s clock, whether camera work is due. Must not block.
        virtual Look look(int64_t nowMs) = 0;

        // The camera work. `cancelled` turns true when the task is being removed: stop before
        // the next Camera SDK call and leave what is open for the remover to close.
        virtual void work(const std::atomic<bool>& cancelled) = 0;
    };

    // The process's keeper; a new one when nothing holds the last.
    static std::shared_ptr<SessionKeeper> shared();

    SessionKeeper();
    // Stops and joins the threads. REQUIRES: every task was removed.
    ~SessionKeeper();

    SessionKeeper(const SessionKeeper&) = delete;
    SessionKeeper& operator=(const SessionKeeper&) = delete;

    // Milliseconds of the steady clock that looks are given.
    static int64_t nowMs();

    // Takes `task` in; it is looked at at once. REQUIRES: `task` is not in the keeper.
    void add(Task* task) EXCLUDES(m_mutex);

    // Looks at `task` as soon as possible (when it is not being worked on); cheap enough for
    // a video frame.
    void wake(Task* task) EXCLUDES(m_mutex);

    // Takes `task` out: sets its cancellation and waits for a look or work in flight to end.
    // Once it returns the keeper never touches `task` again.
    void remove(Task* task) EXCLUDES(m_mutex);

    // The number of worker threads started so far (never more than kMaxWorkers).
    int workerCount() const EXCLUDES(m_mutex);

private:
    struct Entry
    {
        explicit Entry(Task* task) : task(task) {}

        Task* const task;
        bool onTimeline = false;
        std::multimap<int64_t, Entry*>::iterator timelineNode;  //< Valid while onTimeline.
        bool busy = false;    //< Being looked at or worked on, outside the lock.
        bool queued = false;  //< Waiting for a worker.
        bool woken = false;   //< Woken while busy or queued: look again right after.
        bool removing = false;
        std::atomic<bool> cancelled{false};
    };

    // The scheduling thread: looks at the tasks whose time has come.
    void schedule() EXCLUDES(m_mutex);

    // A worker thread: runs the work of queued tasks.
    void runWorker() EXCLUDES(m_mutex);

    // Looks at `entry` outside the lock and queues its work or its next look.
    void lookAt(Entry* entry) REQUIRES(m_mutex);

    // Puts `entry` on the timeline for `atMs` (off it for kNever).
    void setLookAt(Entry* entry, int64_t atMs) REQUIRES(m_mutex);

    // Queues the work of `entry` and starts a worker if every one is busy.
    void queueWork(Entry* entry) REQUIRES(m_mutex);

    mutable korvane::port::Mutex m_mutex;
    std::condition_variable_any m_scheduleWake;
    std::condition_variable_any m_workWake;
    std::condition_variable_any m_taskIdle;  //< A busy entry became idle.
    bool m_stopping GUARDED_BY(m_mutex) = false;
    std::unordered_map<Task*, std::unique_ptr<Entry>> m_entries GUARDED_BY(m_mutex);
    std::multimap<int64_t, Entry*> m_timeline GUARDED_BY(m_mutex);
    std::deque<Entry*> m_work GUARDED_BY(m_mutex);
    int m_idleWorkers GUARDED_BY(m_mutex) = 0;
    std::vector<std::thread> m_workers GUARDED_BY(m_mutex);
    std::thread m_scheduler;  //< Started by the constructor, joined by the destructor.
};

}  // namespace nx::vms_server_plugins::analytics::sample
