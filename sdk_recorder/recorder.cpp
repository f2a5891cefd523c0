#include "recorder.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "sdk_recorder/capture_records.h"
#include "sdk_recorder/recorder_platform.h"

namespace korvane::sdk_recorder
{

using nx::kit::Json;

namespace
{

constexpr double kDefaultMaxMegabytes = 100;

thread_local int t_threadNumber = 0;
thread_local bool t_haveLastError = false;
thread_local int32_t t_lastError = 0;
std::atomic<int> g_lastThreadNumber{0};

std::atomic<Recorder*> g_recorder{nullptr};

// Writes the end record when the recorder's library is unloaded or the process exits.
struct FinishAtExit
{
    ~FinishAtExit()
    {
        if (Recorder* const recorder = g_recorder.load())
            recorder->finishAtExit();
    }
} g_finishAtExit;

std::string capturePath()
{
    const char* const path = std::getenv("KORVANE_SDK_CAPTURE");
    if (path && *path)
        return path;
    return temporaryFolder() + "korvane_capture_" + std::to_string(currentProcessId()) +
           kCaptureFileExtension;
}

// KORVANE_SDK_CAPTURE_MAX_MB in bytes; a value that is not a positive number is refused
// with one line on the standard error stream, and the default holds.
uint64_t maxBytes()
{
    constexpr double kBytesPerMegabyte = 1024 * 1024;
    const char* const text = std::getenv("KORVANE_SDK_CAPTURE_MAX_MB");
    if (!text || !*text)
        return static_cast<uint64_t>(kDefaultMaxMegabytes * kBytesPerMegabyte);
    char* end = nullptr;
    const double megabytes = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(megabytes > 0) || !std::isfinite(megabytes))
    {
        std::fprintf(stderr,
                     "korvane SDK recorder: KORVANE_SDK_CAPTURE_MAX_MB=%s is not a positive "
                     "number of MiB; the capture grows to %g MiB at most\n",
                     text, kDefaultMaxMegabytes);
        std::fflush(stderr);
        return static_cast<uint64_t>(kDefaultMaxMegabytes * kBytesPerMegabyte);
    }
    const double bytes = megabytes * kBytesPerMegabyte;
    constexpr double kLargest = static_cast<double>(std::numeric_limits<uint64_t>::max());
    return bytes >= kLargest ? std::numeric_limits<uint64_t>::max() : static_cast<uint64_t>(bytes);
}

}  // namespace

Recorder::Recorder()
    : m_origin(std::chrono::steady_clock::now()), m_keptLoaded(keepRecorderLoaded())
{
    const uint64_t limit = maxBytes();
    const Json header(Json::Object{{"format", Json(kCaptureFormatName)},
                                   {"version", Json(kCaptureFormatVersion)},
                                   {"t", Json(0)},
                                   {"recorder", Json(KORVANE_RECORDER_VERSION)},
                                   {"platform", Json(KORVANE_RECORDER_PLATFORM)},
                                   {"process", Json(static_cast<double>(currentProcessId()))},
                                   {"maxBytes", Json(static_cast<double>(limit))}});
    m_writer = std::make_unique<CaptureWriter>(capturePath(), limit, header, m_origin);
}

Recorder& Recorder::instance()
{
    static Recorder* const recorder = []()
    {
        auto* const made = new Recorder();
        g_recorder.store(made);
        return made;
    }();
    return *recorder;
}

int64_t Recorder::nowUs() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 m_origin)
        .count();
}

int Recorder::threadNumber()
{
    if (t_threadNumber == 0)
        t_threadNumber = ++g_lastThreadNumber;
    return t_threadNumber;
}

int Recorder::sessionNumber(void* handle)
{
    if (!handle)
        return 0;
    port::MutexLock lock(&m_mutex);
    auto [it, added] = m_sessions.emplace(handle, 0);
    if (added)
        it->second = ++m_lastSession;
    return it->second;
}

int Recorder::newSessionNumber(void* handle)
{
    forgetSession(handle);
    return sessionNumber(handle);
}

void Recorder::forgetSession(void* handle)
{
    port::MutexLock lock(&m_mutex);
    m_sessions.erase(handle);
}

int Recorder::subscriptionNumber(int session, uint32_t id)
{
    port::MutexLock lock(&m_mutex);
    auto [it, added] = m_subscriptions.emplace(std::make_pair(session, id), 0);
    if (added)
        it->second = ++m_lastSubscription;
    return it->second;
}

Json::Object Recorder::callRecord(const char* op) const
{
    return Json::Object{{"t", Json(static_cast<double>(nowUs()))},
                        {"thread", Json(threadNumber())},
                        {"op", Json(op)}};
}

void Recorder::finishCall(Json::Object record, int64_t result, bool failed,
                          const MakerFunctions& maker)
{
    record["result"] = Json(static_cast<double>(result));
    if (failed)
    {
        t_lastError = maker.OSTREL_GetLastError();
        t_haveLastError = true;
        record["lastError"] = Json(t_lastError);
    }
    submit(std::make_unique<JsonRecord>(Json(std::move(record))));
}

void Recorder::forgetLastError()
{
    t_haveLastError = false;
}

bool Recorder::rememberedLastError(int32_t* value)
{
    if (!t_haveLastError)
        return false;
    *value = t_lastError;
    return true;
}

void Recorder::finishAtExit()
{
    if (!m_keptLoaded)
        m_writer->finish("process exit");
}

}  // namespace korvane::sdk_recorder
