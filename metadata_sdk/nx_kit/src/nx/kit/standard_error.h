// The one place where a diagnostic line leaves the process: the platform's write to the
// standard error stream (POSIX write(2), or the Windows C runtime's _write), one call per
// line unless the system takes fewer bytes than it was given.
//
// Thread-safety: callable from any thread; the caller serialises lines that must not mix.

#pragma once

#include <cstddef>

namespace nx::kit::debug
{

// Writes `size` bytes to file descriptor 2, whatever it currently refers to (a terminal, a
// pipe, a file, /dev/null). A failed write is dropped: diagnostics have nowhere else to go.
void writeToStandardError(const char* data, size_t size);

}  // namespace nx::kit::debug
