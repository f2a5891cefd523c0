// What the plugin sent to the Camera SDK stand-in, and the failures it is to meet.
//
// CallLog counts the calls of every OSTREL_ operation, fails the calls that a test chose
// to fail, and keeps the last record of each kind the plugin sent, for tests to read back.
// The free functions keep the calling thread's last error, as OSTREL_GetLastError reports
// it.
//
// Thread-safety: CallLog's state is guarded by simulatorMutex(). The last error belongs to
// the calling thread and needs no lock.

#pragma once

#include <cstdint>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/ostrel_control.h"
#include "ostrel_sdk/simulator_lock.h"

namespace ostrel
{

// The last error of the calling thread: 0 after a call that succeeded.
int32_t lastErrorOfThisThread();

// Sets the calling thread's last error to `error`; returns 0, the SDK's failure value.
int32_t fail(int32_t error);

// Clears the calling thread's last error; returns 1, the SDK's success value.
int32_t succeed();

class CallLog
{
public:
    CallLog() = default;
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    // Counts a call of `operation`; false, with the last error set, when the call must
    // fail because a failure was injected for it.
    bool enter(control::Operation operation) REQUIRES(simulatorMutex());

    // Counts a call of `operation` that never fails.
    void count(control::Operation operation) REQUIRES(simulatorMutex());

    // Makes the next `count` calls of `operation` fail with the last error `error`.
    void failNext(control::Operation operation, int count, int32_t error)
        REQUIRES(simulatorMutex());

    // Calls of `operation` counted since the last clear(), failed ones included.
    int callCount(control::Operation operation) const REQUIRES(simulatorMutex());

    // Forgets every count, injected failure and record.
    void clear() REQUIRES(simulatorMutex());

    // ---- The last record of each kind that the plugin sent ----

    void recordLogin(const OstrelLoginRecord& login) REQUIRES(simulatorMutex());
    OstrelLoginRecord lastLogin() const REQUIRES(simulatorMutex());

    void recordSubscription(const OstrelSubscriptionRequest& request) REQUIRES(simulatorMutex());
    OstrelSubscriptionRequest lastSubscription() const REQUIRES(simulatorMutex());

    void recordUnsubscribeId(uint32_t id) REQUIRES(simulatorMutex());
    uint32_t lastUnsubscribeId() const REQUIRES(simulatorMutex());

    // The channel argument of a per-channel call.
    void recordChannel(int32_t channel) REQUIRES(simulatorMutex());
    int32_t lastChannel() const REQUIRES(simulatorMutex());

    void recordLineRules(const control::LineRules& rules) REQUIRES(simulatorMutex());
    control::LineRules lastLineRules() const REQUIRES(simulatorMutex());

    // REQUIRES: `kind` is not kLineCross.
    void recordAreaRules(control::RuleSetKind kind, const control::AreaRules& rules)
        REQUIRES(simulatorMutex());
    // The empty rule set for kLineCross.
    control::AreaRules lastAreaRules(control::RuleSetKind kind) const REQUIRES(simulatorMutex());

    void recordSwitches(const RuleSwitchList& switches) REQUIRES(simulatorMutex());
    RuleSwitchList lastSwitches() const REQUIRES(simulatorMutex());

private:
    struct Failure
    {
        int left = 0;
        int32_t error = 0;
    };

    static constexpr int kAreaKinds = 3;  // intrusion, enter area, leave area

    Failure m_failures[control::kOperationCount] GUARDED_BY(simulatorMutex());
    int m_calls[control::kOperationCount] GUARDED_BY(simulatorMutex()) = {};
    OstrelLoginRecord m_lastLogin GUARDED_BY(simulatorMutex()) = {};
    OstrelSubscriptionRequest m_lastSubscription GUARDED_BY(simulatorMutex()) = {};
    uint32_t m_lastUnsubscribeId GUARDED_BY(simulatorMutex()) = 0;
    int32_t m_lastChannel GUARDED_BY(simulatorMutex()) = 0;
    control::LineRules m_lineRules GUARDED_BY(simulatorMutex());
    control::AreaRules m_areaRules[kAreaKinds] GUARDED_BY(simulatorMutex());
    RuleSwitchList m_switches GUARDED_BY(simulatorMutex()) = {};
};

}  // namespace ostrel
