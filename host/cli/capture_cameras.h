// Capture cameras: the records of a capture grouped by the camera they concern.
//
// A camera is an address, a port and a login name, as its OSTREL_Login records name them;
// calls and callback deliveries belong to it through their session numbers. Records of no
// camera (OSTREL_Init, OSTREL_GetLastError, the end) belong to none.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <cstdint>
#include <map>
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
    // that opened first; deliveries after a logout (failed or not) are left out.
    std::vector<size_t> records;
};

// The cameras of `capture`, in the order of their first login.
std::vector<CapturedCamera> capturedCameras(const Capture& capture);

// Whether `record` is a call that failed: it has the last error the caller then got.
bool callFailed(const nx::kit::Json& record);

// Follows the calls of one camera in file order and tells when one of its sessions was lost
// or one opened again. A session is lost when the plugin logged it out, subscribed, after
// its last OSTREL_QueryChannelList check failed (the plugin checks a session whose camera
// may have gone away); a session opened after a lost one or after a failed login opened
// again.
class SessionLosses
{
public:
    struct Event
    {
        enum class Kind
        {
            kNone,
            kLost,      //< The call is the logout of a lost session.
            kReopened,  //< The call is a login that opened a session again.
        };
        Kind kind = Kind::kNone;
        int64_t subscribedUs = 0;        //< kLost: when the session was subscribed ("t").
        int64_t firstFailedCheckUs = 0;  //< kLost: when its failed checks began.
    };

    // Takes the camera's next call record.
    Event addCall(const nx::kit::Json& record);

private:
    struct Session
    {
        bool subscribed = false;
        int64_t subscribedUs = 0;
        int64_t firstFailedCheckUs = -1;  //< Of the failed checks since its last good one.
    };

    std::map<int, Session> m_sessions;  //< By session number.
    bool m_owed = false;  //< A session was lost, or a login failed, since the last opening.
};

}  // namespace korvane::host::cli
