// Lock rules that Clang checks (-Wthread-safety): which mutex guards a field, and which
// mutexes a function needs held or not held. Other compilers see nothing.
//
//   Mutex m_mutex;
//   int m_count GUARDED_BY(m_mutex);
//   void bump() REQUIRES(m_mutex);
//   void bumpLocked() EXCLUDES(m_mutex);
//
// Thread-safety: macros only.

#pragma once

#if defined(__clang__)
#define KORVANE_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define KORVANE_THREAD_ANNOTATION(x)
#endif

// A type that is a lock.
#define CAPABILITY(name) KORVANE_THREAD_ANNOTATION(capability(name))

// An object that holds a lock for its lifetime.
#define SCOPED_CAPABILITY KORVANE_THREAD_ANNOTATION(scoped_lockable)

// A field that may be used only while `mutex` is held.
#define GUARDED_BY(mutex) KORVANE_THREAD_ANNOTATION(guarded_by(mutex))

// A pointer whose target may be used only while `mutex` is held.
#define PT_GUARDED_BY(mutex) KORVANE_THREAD_ANNOTATION(pt_guarded_by(mutex))

// A function that must be called with the mutexes held.
#define REQUIRES(...) KORVANE_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))

// A function that must be called without the mutexes held (it takes them itself).
#define EXCLUDES(...) KORVANE_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

// A function that takes or gives back the mutexes.
#define ACQUIRE(...) KORVANE_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) KORVANE_THREAD_ANNOTATION(release_capability(__VA_ARGS__))

// A function that returns the mutex that guards something.
#define RETURN_CAPABILITY(mutex) KORVANE_THREAD_ANNOTATION(lock_returned(mutex))

// A function that tells the analysis the mutex is held here.
#define ASSERT_CAPABILITY(mutex) KORVANE_THREAD_ANNOTATION(assert_capability(mutex))

// A function the analysis does not check; say why beside it.
#define NO_THREAD_SAFETY_ANALYSIS KORVANE_THREAD_ANNOTATION(no_thread_safety_analysis)
