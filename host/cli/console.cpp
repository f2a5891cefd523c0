#include "console.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace korvane::host::cli
{

namespace
{

std::atomic<bool> g_interrupted{false};
std::atomic<bool> g_handled{false};

constexpr int kStderr = 2;

// A drain mark: a line that starts with a NUL byte, which no diagnostic line holds, then
// the drain's number.
constexpr char kDrainMark = '\0';

}  // namespace

DiagnosticsCapture::DiagnosticsCapture(const std::string& logPath, LineHandler onLine)
    : m_onLine(std::move(onLine))
{
    const bool toFile = logPath != kLogToStandardError && logPath != kNoLog;
    // The plugin's lines tell of cameras and what they saw: the log is its owner's alone.
    if (toFile && (m_log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)) < 0)
        return;
    int pipe[2] = {-1, -1};
    if (!port::openPipe(pipe))
        return;
    std::fflush(stderr);
    m_terminal = dup(kStderr);
    if (m_terminal < 0 || dup2(pipe[1], kStderr) < 0)
    {
        close(pipe[0]);
        close(pipe[1]);
        return;
    }
    if (logPath == kLogToStandardError)
        m_log = dup(m_terminal);
    // Standard error now holds the only write end: restoring it ends the reader.
    close(pipe[1]);
    m_pipeRead = pipe[0];
    m_reader = std::thread([this] { readLines(); });
}

DiagnosticsCapture::~DiagnosticsCapture()
{
    std::cerr.flush();
    std::fflush(stderr);
    if (m_terminal >= 0)
        dup2(m_terminal, kStderr);
    if (m_reader.joinable())
        m_reader.join();
    for (const int fd : {m_pipeRead, m_log, m_terminal})
    {
        if (fd >= 0)
            close(fd);
    }
}

void DiagnosticsCapture::printToTerminal(const std::string& text) const
{
    const int fd = m_terminal >= 0 ? m_terminal : kStderr;
    if (write(fd, text.data(), static_cast<unsigned>(text.size())) < 0)
        return;  //< Nowhere left to say it.
}

void DiagnosticsCapture::drain()
{
    uint64_t number = 0;
    {
        const std::lock_guard<std::mutex> lock(m_drainMutex);
        number = ++m_drainsAsked;
    }
    std::cerr.flush();
    std::fflush(stderr);
    const std::string mark = std::string(1, kDrainMark) + std::to_string(number) + "\n";
    if (write(kStderr, mark.data(), static_cast<unsigned>(mark.size())) !=
        static_cast<int>(mark.size()))
        return;  //< Nothing to wait for: the mark did not go out.
    std::unique_lock<std::mutex> lock(m_drainMutex);
    m_drained.wait(lock, [&] { return m_drainsDone >= number; });
}

void DiagnosticsCapture::takeLine(const std::string& line)
{
    if (!line.empty() && line[0] == kDrainMark)
    {
        const std::lock_guard<std::mutex> lock(m_drainMutex);
        m_drainsDone = std::strtoull(line.c_str() + 1, nullptr, 10);
        m_drained.notify_all();
        return;
    }
    const std::string text = line + "\n";
    if (m_log >= 0 && write(m_log, text.data(), static_cast<unsigned>(text.size())) < 0)
    {
        // The log is lost, but the lines still reach the handler.
    }
    if (!m_onLine)
        return;
    std::string withoutEnd = line;
    if (!withoutEnd.empty() && withoutEnd.back() == '\r')
        withoutEnd.pop_back();
    m_onLine(withoutEnd);
}

void DiagnosticsCapture::readLines()
{
    std::string line;
    char buffer[4096];
    for (;;)
    {
        const auto count = read(m_pipeRead, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        for (int i = 0; i < count; ++i)
        {
            if (buffer[i] != '\n')
            {
                line += buffer[i];
                continue;
            }
            takeLine(line);
            line.clear();
        }
    }
    if (line.empty())
        return;
    // A last line without its end reaches the log as it was written.
    if (m_log >= 0 && write(m_log, line.data(), static_cast<unsigned>(line.size())) < 0)
    {
        // Nowhere left to keep it.
    }
    if (m_onLine)
        m_onLine(line);
}

void watchForInterrupts()
{
    port::installInterruptHandlers();
}

bool interruptRequested()
{
    return g_interrupted.load();
}

void requestInterrupt()
{
    g_interrupted.store(true);
}

void interruptHandled()
{
    g_handled.store(true);
}

bool readLineWithoutEcho(std::string* line)
{
    const bool hidden = port::hideInputEcho();
    line->clear();
    int c = 0;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        *line += static_cast<char>(c);
    if (hidden)
    {
        port::restoreInputEcho();
        std::fputc('\n', stderr);  //< The line end the user typed was not shown.
    }
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return c != EOF || !line->empty();
}

namespace port
{

bool interruptWasHandled()
{
    return g_handled.load();
}

}  // namespace port

}  // namespace korvane::host::cli
