// The passwords of the cameras named on the command line. A password given as text
// (--password TEXT) is visible to every user of the machine (in the process list and the
// shell's history); one read from the first line of a file (--password-file FILE) or typed
// on the terminal without echo (--password -) is not.
//
// Not thread-safe: reads standard input.

#pragma once

#include <string>
#include <vector>

#include "host/cli/command_line.h"

namespace korvane::host::cli
{

// Fills in the password of every camera that names a file or standard input, before any
// camera is contacted; false with `*errorText` naming the file when it is missing,
// unreadable or empty, or naming the camera when nothing was typed for it.
bool readCameraPasswords(std::vector<CameraOption>* cameras, std::string* errorText);

}  // namespace korvane::host::cli
