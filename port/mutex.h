// Mutex and MutexLock: a non-recursive mutex and its scoped lock, annotated so that Clang
// checks the lock rules written with port/thread_annotations.h. A Mutex is also what
// std::condition_variable_any waits with.
//
// Thread-safety: a Mutex is shared by the threads it serialises; a MutexLock belongs to
// the thread that made it.

#pragma once

#include <mutex>

#include "port/thread_annotations.h"

namespace korvane::port
{

class CAPABILITY("mutex") Mutex
{
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() ACQUIRE() { m_mutex.lock(); }
    void unlock() RELEASE() { m_mutex.unlock(); }

    // Tells the analysis that the calling thread holds the mutex (after a wait on a
    // condition variable, which takes it back).
    void assertHeld() const ASSERT_CAPABILITY(this) {}

private:
    std::mutex m_mutex;
};

class SCOPED_CAPABILITY MutexLock
{
public:
    explicit MutexLock(Mutex* mutex) ACQUIRE(mutex) : m_mutex(mutex) { m_mutex->lock(); }
    ~MutexLock() RELEASE() { m_mutex->unlock(); }

    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex* const m_mutex;
};

}  // namespace korvane::port
