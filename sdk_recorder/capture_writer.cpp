#include "capture_writer.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "sdk_recorder/recorder_platform.h"

namespace korvane::sdk_recorder
{

using nx::kit::Json;

namespace
{

// The writer wakes this often when nothing woke it, so that a caller needs no system call
// to hand over a record; a fuller queue wakes it at once.
constexpr auto kWriterPeriod = std::chrono::milliseconds(50);
constexpr size_t kWakeThreshold = 256;

// The most names tried beside a capture file that is there already.
constexpr int kMostAlternatives = 1000;

void say(const std::string& line)
{
    std::fprintf(stderr, "korvane SDK recorder: %s\n", line.c_str());
    std::fflush(stderr);
}

void reportOnce(const std::string& path, const char* what, const std::string& reason)
{
    say(std::string(what) + " the capture file " + path + " (" + reason +
        "); recording stopped, every Camera SDK call is still passed on");
}

}  // namespace

std::string alternativeCapturePath(const std::string& path, int number)
{
    const std::string extension = kCaptureFileExtension;
    const bool hasExtension =
        path.size() > extension.size() &&
        path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
    const std::string stem = path.substr(0, path.size() - (hasExtension ? extension.size() : 0));
    return stem + "." + std::to_string(number) + (hasExtension ? extension : "");
}

CaptureWriter::CaptureWriter(const std::string& path, uint64_t maxBytes, const Json& header,
                             std::chrono::steady_clock::time_point origin)
    : m_maxBytes(maxBytes), m_origin(origin)
{
    create(path);
    if (!m_file)
        return;
    if (!writeLine(header.dump()))
        return;
    m_accepting.store(true);
    m_thread = std::thread([this]() { run(); });
}

CaptureWriter::~CaptureWriter()
{
    finish("process exit");
}

void CaptureWriter::create(const std::string& path)
{
    std::string errorText;
    m_path = path;
    FileCreation created = createPrivateFile(m_path, &m_file, &errorText);
    for (int number = 1; created == FileCreation::kExists && number <= kMostAlternatives; ++number)
    {
        m_path = alternativeCapturePath(path, number);
        created = createPrivateFile(m_path, &m_file, &errorText);
    }
    if (created == FileCreation::kExists)
        errorText = "it and the names beside it are taken";
    if (created != FileCreation::kCreated)
    {
        m_file = nullptr;
        reportOnce(path, "cannot create", errorText);
    }
    else if (m_path != path)
    {
        say(path + " is there already and is kept; recording to " + m_path);
    }
    else
    {
        say("recording to " + m_path);
    }
}

void CaptureWriter::submit(std::unique_ptr<PendingRecord> record)
{
    port::MutexLock lock(&m_mutex);
    if (m_stopping || !accepting())
        return;
    if (m_queue.size() >= kQueueCapacity)
    {
        ++m_dropped;
        return;
    }
    m_queue.push_back(std::move(record));
    if (m_writerWaiting && m_queue.size() >= kWakeThreshold)
        m_wake.notify_one();
}

void CaptureWriter::finish(const char* reason)
{
    {
        port::MutexLock lock(&m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
    m_accepting.store(false);
    if (m_file)
    {
        writeEnd(reason);
        if (m_file)
            std::fclose(m_file);
        m_file = nullptr;
    }
}

void CaptureWriter::run()
{
    lowerThreadPriority();
    for (;;)
    {
        std::deque<std::unique_ptr<PendingRecord>> batch;
        bool stopping = false;
        {
            port::MutexLock lock(&m_mutex);
            if (m_queue.empty() && !m_stopping)
            {
                m_writerWaiting = true;
                m_wake.wait_for(m_mutex, kWriterPeriod);
                m_mutex.assertHeld();
                m_writerWaiting = false;
            }
            batch.swap(m_queue);
            stopping = m_stopping;
        }
        for (const auto& record : batch)
        {
            if (!m_file || !writeLine(record->json().dump()))
                break;
        }
        if (m_file && std::fflush(m_file) != 0)
            stopWithError("cannot write");
        if (stopping || !m_file)
            return;
    }
}

bool CaptureWriter::writeLine(const std::string& line)
{
    if (m_written + line.size() + 1 > m_maxBytes)
    {
        writeEnd("size limit");
        if (m_file)
            std::fclose(m_file);
        m_file = nullptr;
        m_accepting.store(false);
        return false;
    }
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() ||
        std::fputc('\n', m_file) == EOF)
    {
        stopWithError("cannot write");
        return false;
    }
    m_written += line.size() + 1;
    return true;
}

void CaptureWriter::writeEnd(const char* reason)
{
    const auto now = std::chrono::steady_clock::now() - m_origin;
    const Json end(Json::Object{
        {"t", Json(static_cast<double>(
                  std::chrono::duration_cast<std::chrono::microseconds>(now).count()))},
        {"end", Json(reason)},
        {"dropped", Json(static_cast<double>(droppedCount()))}});
    const std::string line = end.dump() + "\n";
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() || std::fflush(m_file) != 0)
    {
        stopWithError("cannot write");
    }
}

void CaptureWriter::stopWithError(const char* what)
{
    reportOnce(m_path, what, std::strerror(errno));
    std::fclose(m_file);
    m_file = nullptr;
    m_accepting.store(false);
}

uint64_t CaptureWriter::droppedCount()
{
    port::MutexLock lock(&m_mutex);
    return m_dropped;
}

}  // namespace korvane::sdk_recorder
