#include "session_schedule.h"

#include <algorithm>
#include <cmath>

#include <nx/kit/utils.h>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

struct TimingKey
{
    const char* key;
    int64_t SessionTimings::*field;
};

constexpr TimingKey kTimingKeys[] = {
    {"sessionFrameGapMs", &SessionTimings::frameGapMs},
    {"sessionFirstRetryMs", &SessionTimings::firstRetryMs},
    {"sessionLongestRetryMs", &SessionTimings::longestRetryMs},
    {"sessionQuietCheckMs", &SessionTimings::quietCheckMs},
    {"sessionRecheckMs", &SessionTimings::recheckMs},
    {"sessionPollMs", &SessionTimings::pollMs},
    {"sessionReportEveryMs", &SessionTimings::reportEveryMs},
};

// A delay is moved at random by up to this share of itself, either way.
constexpr double kRetrySpread = 0.2;

}  // namespace

SessionTimings sessionTimingsFrom(const std::map<std::string, std::string>& options)
{
    SessionTimings timings;
    for (const TimingKey& timing : kTimingKeys)
    {
        const auto it = options.find(timing.key);
        int value = 0;
        if (it != options.end() && nx::kit::utils::stoi(it->second, &value, nullptr) && value > 0)
            timings.*timing.field = value;
    }
    return timings;
}

SessionSchedule::SessionSchedule(const SessionTimings& timings, int64_t nowMs, bool delivering,
                                 bool repairNeeded)
    : m_timings(timings),
      m_delivering(delivering),
      m_repairNeeded(delivering && repairNeeded),
      m_lastFrameMs(nowMs),
      m_lastActivityMs(nowMs),
      m_troubleSinceMs(nowMs)
{
}

void SessionSchedule::observe(int64_t nowMs, uint32_t frames, uint32_t notifications)
{
    if (frames != m_frames)
    {
        if (suspended(nowMs))
        {
            // The first frame after a gap (or after the opening at creation): try at once,
            // with the waits starting again from the shortest.
            if (!m_delivering || m_repairNeeded)
            {
                m_retryAtMs = nowMs;
                m_failuresInRow = 0;
            }
            // A camera whose video stopped may have rebooted: its session may be dead.
            if (m_delivering && m_framesSeen)
                m_checkAtMs = std::min(m_checkAtMs, nowMs);
        }
        m_framesSeen = true;
        m_frames = frames;
        m_lastFrameMs = nowMs;
    }
    if (notifications != m_notifications)
    {
        m_notifications = notifications;
        m_lastActivityMs = nowMs;
    }
}

bool SessionSchedule::suspended(int64_t nowMs) const
{
    return !m_framesSeen || nowMs - m_lastFrameMs >= m_timings.frameGapMs;
}

int64_t SessionSchedule::quietCheckAtMs() const
{
    if (!m_delivering || m_checkFailed)
        return kNever;
    return m_lastActivityMs + m_timings.quietCheckMs;
}

SessionWork SessionSchedule::due(int64_t nowMs) const
{
    // A repeated check does not wait for frames: the first one failed while they came.
    if (m_delivering && m_checkAtMs <= nowMs)
        return SessionWork::kCheck;
    if (suspended(nowMs))
        return SessionWork::kNone;
    if (!m_delivering)
        return m_retryAtMs <= nowMs ? SessionWork::kOpen : SessionWork::kNone;
    if (quietCheckAtMs() <= nowMs)
        return SessionWork::kCheck;
    if (m_repairNeeded && m_retryAtMs <= nowMs)
        return SessionWork::kRepair;
    return SessionWork::kNone;
}

int64_t SessionSchedule::nextLookMs(int64_t nowMs) const
{
    int64_t next = m_delivering ? m_checkAtMs : kNever;
    if (suspended(nowMs))
        return next;
    // While frames come they are looked at now and then, so that a gap is noticed.
    next = std::min(next, nowMs + m_timings.pollMs);
    if (!m_delivering || m_repairNeeded)
        next = std::min(next, m_retryAtMs);
    return std::min(next, quietCheckAtMs());
}

SessionSchedule::Recovery SessionSchedule::opened(int64_t nowMs, bool repairNeeded, double random)
{
    ++m_attempts;
    const Recovery recovery{m_attempts, nowMs - m_troubleSinceMs};
    m_delivering = true;
    m_checkAtMs = kNever;
    m_checkFailed = false;
    m_lastActivityMs = nowMs;
    m_repairNeeded = repairNeeded;
    m_failuresInRow = 0;
    m_retryAtMs = kNever;
    if (repairNeeded)
    {
        // The failed step is a trouble of its own, tried again on the same schedule.
        startTrouble(nowMs);
        scheduleRetry(nowMs, random);
    }
    return recovery;
}

void SessionSchedule::openFailed(int64_t nowMs, double random)
{
    ++m_attempts;
    scheduleRetry(nowMs, random);
}

SessionSchedule::Recovery SessionSchedule::repaired(int64_t nowMs, bool repairNeeded, double random)
{
    ++m_attempts;
    const Recovery recovery{m_attempts, nowMs - m_troubleSinceMs};
    m_repairNeeded = repairNeeded;
    if (repairNeeded)
        scheduleRetry(nowMs, random);
    else
        m_retryAtMs = kNever;
    return recovery;
}

bool SessionSchedule::checked(int64_t nowMs, bool alive)
{
    if (alive)
    {
        m_checkFailed = false;
        m_checkAtMs = kNever;
        m_lastActivityMs = nowMs;
        return false;
    }
    if (!m_checkFailed)
    {
        m_checkFailed = true;
        m_checkAtMs = nowMs + m_timings.recheckMs;
        return false;
    }
    // Lost: open a new session at once (as long as the frames still come).
    m_delivering = false;
    m_repairNeeded = false;
    m_checkFailed = false;
    m_checkAtMs = kNever;
    m_failuresInRow = 0;
    m_retryAtMs = nowMs;
    startTrouble(nowMs);
    return true;
}

bool SessionSchedule::takeFailureLine(int64_t nowMs)
{
    if (m_failureLines >= kFreeFailureLines &&
        nowMs - m_lastFailureLineMs < m_timings.reportEveryMs)
        return false;
    m_failureLines = std::min(m_failureLines + 1, kFreeFailureLines);
    m_lastFailureLineMs = nowMs;
    return true;
}

void SessionSchedule::scheduleRetry(int64_t nowMs, double random)
{
    ++m_failuresInRow;
    double delay = static_cast<double>(m_timings.firstRetryMs);
    for (int i = 1; i < m_failuresInRow && delay < m_timings.longestRetryMs; ++i)
        delay *= 2;
    delay = std::min(delay, static_cast<double>(m_timings.longestRetryMs));
    delay *= 1.0 - kRetrySpread + 2 * kRetrySpread * std::clamp(random, 0.0, 1.0);
    m_retryDelayMs = std::max<int64_t>(1, std::llround(delay));
    m_retryAtMs = nowMs + m_retryDelayMs;
}

void SessionSchedule::startTrouble(int64_t nowMs)
{
    m_attempts = 0;
    m_troubleSinceMs = nowMs;
    m_failureLines = 0;
}

}  // namespace nx::vms_server_plugins::analytics::sample
