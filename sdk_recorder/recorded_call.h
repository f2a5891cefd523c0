// What every recorded Camera SDK entry point does around its forwarded call: find the
// maker's entry points, and record the call afterwards without letting anything the
// recording throws reach the caller.
//
// Thread-safe, as the Recorder.

#pragma once

#include <cstdint>

#include <nx/kit/json.h>

#include "sdk_recorder/maker_functions.h"
#include "sdk_recorder/recorder.h"

namespace korvane::sdk_recorder
{

// What OSTREL_GetLastError answers while the maker's library is not loaded.
constexpr int32_t kNoMakerLibrary = -1;

// The maker's entry points for a call about to be forwarded, or null when the library is not
// loaded (the call then fails). Makes the maker's last error the current one again.
inline const MakerFunctions* beginCall()
{
    Recorder::forgetLastError();
    return makerFunctions();
}

// Records a finished call of operation `op` when recording: `fill` adds its members to the
// record. `failed` decides whether the last error is asked for and recorded.
template <class Fill>
void recordCall(const MakerFunctions& maker, const char* op, int64_t result, bool failed,
                const Fill& fill) noexcept
{
    try
    {
        Recorder& recorder = Recorder::instance();
        if (!recorder.recording())
            return;
        nx::kit::Json::Object record = recorder.callRecord(op);
        fill(recorder, &record);
        recorder.finishCall(std::move(record), result, failed, maker);
    }
    catch (...)
    {
        // The call has been forwarded; only its record is lost.
    }
}

// Records a finished call on session `handle` that failed when it returned 0.
template <class Fill>
void recordSessionCall(const MakerFunctions& maker, const char* op, void* handle, int32_t result,
                       const Fill& fill) noexcept
{
    recordCall(maker, op, result, result == 0,
               [&](Recorder& recorder, nx::kit::Json::Object* record)
               {
                   (*record)["session"] = nx::kit::Json(recorder.sessionNumber(handle));
                   fill(recorder, record);
               });
}

// Runs `snapshot`, which reads the caller's arguments before the call, when recording.
template <class Snapshot>
void takeSnapshot(const Snapshot& snapshot) noexcept
{
    try
    {
        if (Recorder::instance().recording())
            snapshot();
    }
    catch (...)
    {
        // The call is forwarded all the same; its record lacks what was not read.
    }
}

}  // namespace korvane::sdk_recorder
