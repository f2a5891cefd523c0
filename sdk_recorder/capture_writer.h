// CaptureWriter: the capture file and the thread that writes it. Records are handed over
// through a bounded queue, so that a caller (a camera's callback thread above all) never
// waits for the file: when the queue is full the record is counted as dropped, and the
// count goes into the last record.
//
// The capture holds what the cameras saw (licence plates, face attributes): it is created
// for its owner alone, and never replaces a file: when one of its name is there, the
// capture goes beside it under a new name. One line on the standard error stream says where
// recording goes.
//
// Recording ends for good when the file cannot be created or written (one line on the
// standard error stream says so), when the size limit is reached (a last record says so),
// or at finish(). Callers keep running either way; the recorder keeps forwarding.
//
// Thread-safety: submit() and accepting() may be called from any thread; finish() from one.

#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <thread>

#include <nx/kit/json.h>

#include "port/mutex.h"
#include "port/thread_annotations.h"

namespace korvane::sdk_recorder
{

// A record waiting for the writer; turned into JSON on the writer's thread.
// The file name extension of captures.
constexpr const char* kCaptureFileExtension = ".jsonl";

// The `number`-th name beside `path` for a capture that must not replace the file there:
// "capture.jsonl" becomes "capture.1.jsonl"; a name without the capture extension gets ".1".
std::string alternativeCapturePath(const std::string& path, int number);

class PendingRecord
{
public:
    virtual ~PendingRecord() = default;

    // The record's JSON object.
    virtual nx::kit::Json json() const = 0;
};

class CaptureWriter
{
public:
    // Records waiting at most; more are dropped.
    static constexpr size_t kQueueCapacity = 8192;

    // Creates the file at `path` (or beside it, when a file of that name is there) and starts
    // the writer with `header` as the first record; the times of its own records count from
    // `origin`. Prints one line on the standard error stream: the file recorded to, or why
    // none could be created, and then accepts nothing.
    CaptureWriter(const std::string& path, uint64_t maxBytes, const nx::kit::Json& header,
                  std::chrono::steady_clock::time_point origin);

    ~CaptureWriter();

    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    // Whether records are still written; a cheap check before a record is made.
    bool accepting() const { return m_accepting.load(std::memory_order_relaxed); }

    // Queues `record` without waiting for the file; drops it when the queue is full.
    void submit(std::unique_ptr<PendingRecord> record);

    // Writes what is queued, then the end record with `reason`, and closes the file. Later
    // records are ignored.
    void finish(const char* reason);

private:
    void run();
    // Writes one line; false (recording stopped) when the file refused it or the line
    // would pass the size limit.
    bool writeLine(const std::string& line);
    void writeEnd(const char* reason);
    void stopWithError(const char* what);
    // Creates the file at `path` or at the first free name beside it, into m_path and m_file.
    void create(const std::string& path);
    uint64_t droppedCount();

    std::string m_path;  //< Set by the constructor alone.
    const uint64_t m_maxBytes;
    const std::chrono::steady_clock::time_point m_origin;
    std::atomic<bool> m_accepting{false};

    port::Mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::unique_ptr<PendingRecord>> m_queue GUARDED_BY(m_mutex);
    bool m_stopping GUARDED_BY(m_mutex) = false;
    bool m_writerWaiting GUARDED_BY(m_mutex) = false;
    uint64_t m_dropped GUARDED_BY(m_mutex) = 0;

    // The file and its size belong to the writer thread, and to finish() once it is joined.
    std::FILE* m_file = nullptr;
    uint64_t m_written = 0;
    std::thread m_thread;
};

}  // namespace korvane::sdk_recorder
