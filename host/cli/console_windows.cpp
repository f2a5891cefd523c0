// The Windows side of the console: pipes, reading a line without echo (an event that ends
// the process at the prompt gives the console its echo back first), and the console's
// Ctrl-C, Ctrl-Break and close events.

#include "console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace korvane::host::cli::port
{

namespace
{

// Windows ends the process when the handler of a close event returns, after a few seconds
// at most: the handler waits for the run to release the plugin first.
constexpr int kCloseWaitMs = 4000;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event)
    {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            requestInterrupt();
            return TRUE;
        case CTRL_CLOSE_EVENT:
            requestInterrupt();
            waitUntilInterruptHandled();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

bool openPipe(int fds[2])
{
    return _pipe(fds, 64 * 1024, O_BINARY) == 0;
}

bool inputIsTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

namespace
{

DWORD g_savedInputMode = 0;  //< The console's input mode while its echo is hidden.

// At the password prompt: gives the console its echo back, then lets the next handler (the
// system's, which ends the process) have the event. Runs on a thread of its own.
BOOL WINAPI onEventAtPrompt(DWORD /*event*/)
{
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_savedInputMode);
    return FALSE;
}

}  // namespace

bool hideInputEcho()
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (GetConsoleMode(input, &g_savedInputMode) == 0)
        return false;
    SetConsoleCtrlHandler(&onEventAtPrompt, TRUE);
    if (SetConsoleMode(input, g_savedInputMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0)
        return true;
    SetConsoleCtrlHandler(&onEventAtPrompt, FALSE);
    return false;
}

void restoreInputEcho()
{
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_savedInputMode);
    SetConsoleCtrlHandler(&onEventAtPrompt, FALSE);
}

void installInterruptHandlers()
{
    SetConsoleCtrlHandler(&onConsoleEvent, TRUE);
}

void waitUntilInterruptHandled()
{
    for (int waited = 0; waited < kCloseWaitMs && !interruptWasHandled(); waited += 50)
        Sleep(50);
}

}  // namespace korvane::host::cli::port
