// A plain C subset of the stand-in's control interface, for hosts built with another C++
// ABI (a Microsoft-ABI test host cannot call the C++ functions of ostrel_control.h, whose
// names and types follow GCC's ABI). Freestanding: needs only <stdint.h>.
//
// Thread-safety: as ostrel_control.h; none of these may be called from an SDK callback.

#pragma once

#include <stdint.h>

#include "ostrel_sdk/ostrel_control_export.h"

extern "C"
{
    // Adds a camera at `address`:`port` that accepts `loginName` and `password` and has
    // the single channel 0; returns its id (never 0). Null texts count as empty.
    OSTREL_CONTROL_API int ostrelControlAddCamera(const char* address, int32_t port,
                                                  const char* loginName, const char* password);

    // Queues an alarm for the camera's delivery thread, as ostrel::control::raiseAlarm.
    OSTREL_CONTROL_API uint64_t ostrelControlRaiseAlarm(int camera, int32_t alarmType,
                                                        int64_t timeSeconds);

    // Waits up to `timeoutMs` until every queued delivery of the camera has been handled;
    // nonzero when they all have.
    OSTREL_CONTROL_API int ostrelControlWaitForAllDeliveries(int camera, int timeoutMs);

    // Removes the camera and joins its delivery thread, as ostrel::control::removeCamera.
    OSTREL_CONTROL_API void ostrelControlRemoveCamera(int camera);

    // The number of open sessions.
    OSTREL_CONTROL_API int ostrelControlLiveSessionCount();

}  // extern "C"
