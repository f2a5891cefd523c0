// The one lock of the Camera SDK stand-in.
//
// A single mutex guards all of the stand-in's state: cameras and their delivery queues,
// sessions, injected failures and recorded calls. Every unit names it as simulatorMutex(),
// so that Clang checks the fields of one unit, and the calls from one unit into another,
// against the same lock (a mutex held as a member could be named only by the fields of
// its own object, not by those of the sessions and cameras handed to delivery threads).
// Callbacks into the plugin never run with it held.
//
// Thread-safety: thread-safe. The mutex is never destroyed, like the Simulator, so calls
// made during static teardown still find it.

#pragma once

#include "port/mutex.h"

namespace ostrel
{

namespace port = korvane::port;

// The stand-in's lock.
port::Mutex& simulatorMutex();

}  // namespace ostrel
