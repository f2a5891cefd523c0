// Console: the process and terminal handling of the command-line host. The plugin prints
// its diagnostic lines on the process's standard error stream; the host sends that stream
// to a log file (or on to the terminal's standard error, or nowhere), so that the terminal
// shows the server's view, and can have chosen lines shown on the terminal as well. A watch run
// ends on the user's interrupt (Ctrl-C, or the termination signal or the console's close event).
//
// The POSIX and Windows differences live in console_posix.cpp and console_windows.cpp.
// Thread-safety: DiagnosticsCapture is created and destroyed on one thread; its line handler
// runs on the capture's reader thread. The interrupt functions may be called from any thread.

#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace korvane::host::cli
{

// The log "file" that is the terminal's standard error stream (--log -).
constexpr const char* kLogToStandardError = "-";

// No log: the lines reach the line handler alone.
constexpr const char* kNoLog = "";

class DiagnosticsCapture
{
public:
    // Called with each whole line written to standard error, without its line end.
    using LineHandler = std::function<void(const std::string& line)>;

    // Sends standard error to the file at `logPath` (created readable by its owner alone,
    // or truncated), to the terminal's standard error for kLogToStandardError, or nowhere
    // for kNoLog; each line is also handed to `onLine` when it is set.
    DiagnosticsCapture(const std::string& logPath, LineHandler onLine);

    // Restores standard error, after everything written to it has reached the log file and
    // the line handler.
    ~DiagnosticsCapture();

    DiagnosticsCapture(const DiagnosticsCapture&) = delete;
    DiagnosticsCapture& operator=(const DiagnosticsCapture&) = delete;

    // False when the log file or the redirection could not be made; then nothing is captured.
    bool ok() const { return m_reader.joinable(); }

    // Writes `text` to the terminal's standard error stream, past the capture.
    void printToTerminal(const std::string& text) const;

    // Waits until every line written to standard error before the call has reached the log
    // and the line handler (a line the plugin printed on the calling thread, say). REQUIRES:
    // ok(); not called on the reader thread.
    void drain();

private:
    void readLines();

    // Hands one whole line to the log and the handler, or, for a drain mark, notes it.
    void takeLine(const std::string& line);

    const LineHandler m_onLine;
    std::mutex m_drainMutex;
    std::condition_variable m_drained;
    uint64_t m_drainsAsked = 0;  //< Guarded by m_drainMutex, as is the next.
    uint64_t m_drainsDone = 0;
    int m_terminal = -1;  //< The terminal's standard error, kept aside.
    int m_log = -1;       //< The log file, or a copy of m_terminal; -1 for no log.
    int m_pipeRead = -1;  //< The end the reader takes the captured bytes from.
    std::thread m_reader;
};

// From now on, the user's interrupt sets a flag instead of ending the process.
void watchForInterrupts();

// Whether the user has interrupted since watchForInterrupts().
bool interruptRequested();

// Asks for an interrupt as the user would, for a run that must end early.
void requestInterrupt();

// Reads one line of standard input, without its line end; a terminal does not show what is
// typed. False at the end of the input with nothing read.
bool readLineWithoutEcho(std::string* line);

// Tells a pending console close event that the run has released everything, so that the
// process may end.
void interruptHandled();

namespace port
{

// Creates a pipe: `fds[0]` reads what `fds[1]` is written; false when it cannot.
bool openPipe(int fds[2]);

// Whether standard input is a terminal (a console on Windows).
bool inputIsTerminal();

// Stops the terminal on standard input from showing what is typed; false, with nothing
// changed, when standard input is no terminal. Until restoreInputEcho(), the user's
// interrupt (or another signal or console event that ends the process) shows what is typed
// again before the process ends. REQUIRES: one thread at a time.
bool hideInputEcho();

// Shows what is typed again, after hideInputEcho() returned true.
void restoreInputEcho();

// Installs the platform's interrupt handlers, which call requestInterrupt().
void installInterruptHandlers();

// Waits (for a bounded time) until interruptHandled() is called; for handlers whose
// return lets the platform end the process.
void waitUntilInterruptHandled();

// Whether interruptHandled() has been called.
bool interruptWasHandled();

}  // namespace port

}  // namespace korvane::host::cli
