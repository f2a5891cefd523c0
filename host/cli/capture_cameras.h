// Capture cameras: the records of a capture grouped by the camera they concern.
//
// A camera is an address, a port and a login name, as its OSTREL_Login records name them;
// calls and callback deliveries belong to it through their session numbers. Records of no
// camera (OSTREL_Init, OSTREL_GetLastError, the end) belong to none.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/capture_reader.h"

namespace korvane::host::cli
{

struct CapturedCamera
{
    std::string address;
    int32_t port = 0;
    std::string loginName;
    // The indexes in Capture::records of its calls and deliveries, in file order. A delivery
    // that several sessions of the camera received at once is listed once, from the session
    // that opened first; deliveries after a logout are left out.
    std::vector<size_t> records;
};

// The cameras of `capture`, in the order of their first login.
std::vector<CapturedCamera> capturedCameras(const Capture& capture);

// Whether `record` is a call that failed: it has the last error the caller then got.
bool callFailed(const nx::kit::Json& record);

}  // namespace korvane::host::cli
