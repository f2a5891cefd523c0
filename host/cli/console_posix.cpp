// The POSIX side of the console: pipes, reading a line without echo (a signal that ends the
// process at the prompt gives the terminal its echo back first), and the SIGINT and SIGTERM
// signals.

#include "console.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <iterator>

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

// The signals that end the process at the prompt, and what they did before it.
constexpr int kPromptSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
struct sigaction g_promptSavedActions[std::size(kPromptSignals)];

// At the password prompt: gives the terminal its echo back, then lets the signal end the
// process as it would have. Only async-signal-safe calls.
extern "C" void onSignalAtPrompt(int signal)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedInput);
    if (write(STDERR_FILENO, "\n", 1) < 0)
    {
        // The prompt's line stays unended.
    }
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);  //< Delivered when this handler returns.
}

// Installs (`prompt`) or takes back onSignalAtPrompt() for the signals it handles; a signal
// the process ignores stays ignored.
void handleSignalsAtPrompt(bool prompt)
{
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i)
    {
        if (!prompt)
        {
            sigaction(kPromptSignals[i], &g_promptSavedActions[i], nullptr);
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = &onSignalAtPrompt;
        sigemptyset(&action.sa_mask);
        sigaction(kPromptSignals[i], &action, &g_promptSavedActions[i]);
        if (g_promptSavedActions[i].sa_handler == SIG_IGN)
            sigaction(kPromptSignals[i], &g_promptSavedActions[i], nullptr);
    }
}

}  // namespace

bool hideInputEcho()
{
    if (!inputIsTerminal() || tcgetattr(STDIN_FILENO, &g_savedInput) != 0)
        return false;
    termios noEcho = g_savedInput;
    noEcho.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    handleSignalsAtPrompt(true);
    if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &noEcho) == 0)
        return true;
    handleSignalsAtPrompt(false);
    return false;
}

void restoreInputEcho()
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedInput);
    handleSignalsAtPrompt(false);
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
