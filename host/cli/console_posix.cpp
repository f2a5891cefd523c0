// The POSIX side of the console: pipes, reading a line without echo, and the SIGINT and
// SIGTERM signals.

#include "console.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

namespace korvane::host::cli::port
{

namespace
{

extern "C" void onSignal(int /*signal*/)
{
    // Only an atomic store: safe in a signal handler.
    requestInterrupt();
}

}  // namespace

bool openPipe(int fds[2])
{
    return pipe(fds) == 0;
}

bool inputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

namespace
{

termios g_savedInput = {};  //< The terminal's settings while its echo is hidden.

}  // namespace

bool hideInputEcho()
{
    if (!inputIsTerminal() || tcgetattr(STDIN_FILENO, &g_savedInput) != 0)
        return false;
    termios noEcho = g_savedInput;
    noEcho.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    return tcsetattr(STDIN_FILENO, TCSAFLUSH, &noEcho) == 0;
}

void restoreInputEcho()
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedInput);
}

void installInterruptHandlers()
{
    struct sigaction action = {};
    action.sa_handler = &onSignal;
    // Blocking calls of other threads (the diagnostics reader's) go on after the signal.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void waitUntilInterruptHandled()
{
    // A signal handler's return does not end the process: nothing to wait for.
}

}  // namespace korvane::host::cli::port
