// SessionSchedule: when a device agent works on its camera session in the background.
//
// A session that did not open, or that was lost, is opened again; a delivering session whose
// alarm callback or capability read failed has that step tried again; a delivering session is
// checked now and then, since the Camera SDK says nothing when a camera reboots or its network
// is cut. The camera's video is the gate: a camera that sends no frames (off, unplugged, or
// refusing the server's credentials) costs no login attempt at all, so the retries can never
// lock a camera account out.
//
//   - no frame for `frameGapMs` suspends the work; the first frame after such a gap (and the
//     first frame after an opening that failed) tries at once;
//   - while frames come and attempts fail, the next one waits `firstRetryMs`, then twice as
//     long each time up to `longestRetryMs`, each delay moved at random by up to a fifth, so
//     that cameras that failed together spread out;
//   - a delivering session is checked when frames come back after a gap, and after
//     `quietCheckMs` of frames without any notification from the camera; a failed check is
//     repeated after `recheckMs`, and a second failure in a row means the session is lost,
//     which starts a new opening at once.
//
// A pure state machine: the time (milliseconds of a steady clock) and the random numbers come
// in as arguments, so that its schedule is a function of its inputs.
//
// Thread-safety: none; its owner serialises every call.

#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

struct SessionTimings
{
    int64_t frameGapMs = 10000;       //< No frame for this long suspends the work.
    int64_t firstRetryMs = 5000;      //< The wait after the first failed attempt.
    int64_t longestRetryMs = 300000;  //< The longest wait between attempts.
    int64_t quietCheckMs = 60000;     //< Frames without notifications for this long: check.
    int64_t recheckMs = 2000;         //< A failed check is repeated after this.
    int64_t pollMs = 1000;            //< How often the frames are looked at while they come.
    int64_t reportEveryMs = 600000;   //< Failure lines after the third: at most one per this.
};

// The timings with those of `options` that name one (keys "sessionFrameGapMs",
// "sessionFirstRetryMs", "sessionLongestRetryMs", "sessionQuietCheckMs", "sessionRecheckMs",
// "sessionPollMs", "sessionReportEveryMs"; positive decimal milliseconds) put in. Only a test
// harness passes such options; other values keep their defaults.
SessionTimings sessionTimingsFrom(const std::map<std::string, std::string>& options);

// The background work a session needs now.
enum class SessionWork
{
    kNone,
    kOpen,    //< Open the whole session (closing what is left of the last one first).
    kRepair,  //< Try the failed steps of a delivering session again.
    kCheck,   //< Check that the delivering session is alive.
};

class SessionSchedule
{
public:
    // A time that never comes: the schedule waits for a frame.
    static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

    // After the opening at creation, at `nowMs`: `delivering` when it reached the delivering
    // state, `repairNeeded` when a step that does not stop delivery failed.
    SessionSchedule(const SessionTimings& timings, int64_t nowMs, bool delivering,
                    bool repairNeeded);

    // Takes the numbers of frames and of camera notifications seen so far (counters that only
    // go up, wrapping). Call it before due() and before each outcome below.
    void observe(int64_t nowMs, uint32_t frames, uint32_t notifications);

    // The work due at `nowMs`.
    SessionWork due(int64_t nowMs) const;

    // When to observe again; kNever when only a frame can make work due.
    int64_t nextLookMs(int64_t nowMs) const;

    // How a trouble ended: the attempts it took, the successful one included, and how long
    // since the session was lost or failed.
    struct Recovery
    {
        int attempts = 0;
        int64_t afterMs = 0;
    };

    // Outcomes of the work, at `nowMs`; `random` is uniform in [0, 1).
    // An opening attempt reached the delivering state; `repairNeeded` as in the constructor.
    Recovery opened(int64_t nowMs, bool repairNeeded, double random);
    // An opening attempt failed.
    void openFailed(int64_t nowMs, double random);
    // The failed steps were tried again; `repairNeeded` when one still failed.
    Recovery repaired(int64_t nowMs, bool repairNeeded, double random);
    // A check ended; true when it was the second failed one in a row: the session is lost,
    // and an opening is due at once.
    bool checked(int64_t nowMs, bool alive);

    bool delivering() const { return m_delivering; }

    const SessionTimings& timings() const { return m_timings; }

    // The attempts (opening or repair) since the session was last lost or failed.
    int attempts() const { return m_attempts; }

    // The wait before the next attempt, as the last failure set it.
    int64_t retryDelayMs() const { return m_retryDelayMs; }

    // Whether the failure just recorded gets a line: the first three of a trouble do, then
    // one per `reportEveryMs` at most. Call once per failure.
    bool takeFailureLine(int64_t nowMs);

    // Whether failure lines are now limited (after the third).
    bool failureLinesLimited() const { return m_failureLines >= kFreeFailureLines; }

private:
    static constexpr int kFreeFailureLines = 3;

    // No frame for a gap (or none yet): nothing but a repeated check may start.
    bool suspended(int64_t nowMs) const;

    // The quiet check's time; kNever when it is not due to a lack of notifications.
    int64_t quietCheckAtMs() const;

    // One more failure in a row: the next attempt waits the longer, moved by `random`.
    void scheduleRetry(int64_t nowMs, double random);

    // A new trouble starts at `nowMs`: the counts of attempts and lines start again.
    void startTrouble(int64_t nowMs);

    const SessionTimings m_timings;
    bool m_delivering;
    bool m_repairNeeded;

    bool m_framesSeen = false;
    uint32_t m_frames = 0;
    int64_t m_lastFrameMs;
    uint32_t m_notifications = 0;
    int64_t m_lastActivityMs;  //< A notification, an opening or a passed check.

    int64_t m_retryAtMs = kNever;  //< The next opening or repair.
    int m_failuresInRow = 0;
    int64_t m_retryDelayMs = 0;

    int64_t m_checkAtMs = kNever;  //< A check due whatever the frames do.
    bool m_checkFailed = false;

    int m_attempts = 0;
    int64_t m_troubleSinceMs;
    int m_failureLines = 0;
    int64_t m_lastFailureLineMs = 0;
};

}  // namespace nx::vms_server_plugins::analytics::sample
