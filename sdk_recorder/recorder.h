// Recorder: the process's recording state behind the Camera SDK entry points: the capture
// writer, the clock of the records, and the small stable numbers that stand for threads,
// session handles and subscription ids in a capture. It also remembers, per thread, the
// last error it asked the maker's library for after a failed call, so that the caller's own
// OSTREL_GetLastError gets the value it would have got without the recorder.
//
// Thread-safety: every operation may be called from any thread. The instance is made on
// first use and lives until the process ends.

#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include <nx/kit/json.h>

#include "port/mutex.h"
#include "port/thread_annotations.h"
#include "sdk_recorder/capture_writer.h"
#include "sdk_recorder/maker_functions.h"

namespace korvane::sdk_recorder
{

// A record made whole on the calling thread.
class JsonRecord final : public PendingRecord
{
public:
    explicit JsonRecord(nx::kit::Json json) : m_json(std::move(json)) {}
    nx::kit::Json json() const override { return m_json; }

private:
    const nx::kit::Json m_json;
};

class Recorder
{
public:
    // The process's recorder; opens the capture file on first use.
    static Recorder& instance();

    // Whether records are still written.
    bool recording() const { return m_writer->accepting(); }

    // Microseconds since the capture's first record.
    int64_t nowUs() const;

    // The calling thread's number in the capture (1, 2, ... in order of first use).
    static int threadNumber();

    // The number of a session handle; a new one for a handle not seen before, 0 for null.
    int sessionNumber(void* handle);

    // Lets the handle's number go, after a logout: a handle handed out again gets a new one.
    void forgetSession(void* handle);

    // The number of a handle that a login has just handed out: always a new one, since the
    // SDK hands out only a handle it no longer holds (one whose logout failed, but which the
    // SDK freed all the same, as it does when the camera does not answer).
    int newSessionNumber(void* handle);

    // The number of subscription `id` of session number `session`.
    int subscriptionNumber(int session, uint32_t id);

    // The start of a call record: time, thread and operation.
    nx::kit::Json::Object callRecord(const char* op) const;

    // Adds the result to `record` and submits it. For a failed call (`failed`) it asks the
    // maker's library for the last error, puts it in the record and remembers it for the
    // calling thread's next OSTREL_GetLastError.
    void finishCall(nx::kit::Json::Object record, int64_t result, bool failed,
                    const MakerFunctions& maker);

    // Queues a record for the writer.
    void submit(std::unique_ptr<PendingRecord> record) { m_writer->submit(std::move(record)); }

    // Forgets the calling thread's remembered last error; every forwarded call does this
    // first, as it makes the maker's value the current one again.
    static void forgetLastError();

    // The calling thread's remembered last error, when its last forwarded call failed while
    // recording.
    static bool rememberedLastError(int32_t* value);

    // Writes the end record at process exit, where the platform allows it.
    void finishAtExit();

private:
    Recorder();

    const std::chrono::steady_clock::time_point m_origin;
    const bool m_keptLoaded;
    std::unique_ptr<CaptureWriter> m_writer;

    port::Mutex m_mutex;
    std::map<void*, int> m_sessions GUARDED_BY(m_mutex);
    std::map<std::pair<int, uint32_t>, int> m_subscriptions GUARDED_BY(m_mutex);
    int m_lastSession GUARDED_BY(m_mutex) = 0;
    int m_lastSubscription GUARDED_BY(m_mutex) = 0;
};

}  // namespace korvane::sdk_recorder
