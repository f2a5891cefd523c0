// The one lock of the Camera SDK stand-in.

#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

port::Mutex& simulatorMutex()
{
    // Never destroyed (see the header).
    static port::Mutex* const mutex = new port::Mutex();
    return *mutex;
}

}  // namespace ostrel
