// The Camera SDK stand-in's operations over its simulated state.

#include <mutex>

#include "ostrel_control.h"
#include "ostrel_sdk.h"

namespace
{

struct SdkState
{
    std::mutex mutex;
    int initFailuresLeft = 0;
    int initCalls = 0;
};

SdkState& state()
{
    static SdkState s;
    return s;
}

// The SDK reports the last error of the calling thread, as a real SDK does.
thread_local int32_t t_lastError = 0;

}  // namespace

extern "C"
{
    int32_t OSTREL_Init(void)
    {
        SdkState& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        ++s.initCalls;
        if (s.initFailuresLeft > 0)
        {
            --s.initFailuresLeft;
            t_lastError = ostrel::control::kErrorInitFailed;
            return 0;
        }
        t_lastError = 0;
        return 1;
    }

    int32_t OSTREL_GetLastError(void)
    {
        return t_lastError;
    }

}  // extern "C"

namespace ostrel::control
{

void reset()
{
    SdkState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.initFailuresLeft = 0;
    s.initCalls = 0;
}

void failInit(int count)
{
    SdkState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.initFailuresLeft = count;
}

int initCallCount()
{
    SdkState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.initCalls;
}

}  // namespace ostrel::control
