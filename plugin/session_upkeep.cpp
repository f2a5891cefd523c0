#include "session_upkeep.h"

#include <string>

#include <nx/kit/debug.h>

#include "boundary_guard.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// "10 minutes", "5 s" or "250 ms", as a line says how long.
std::string durationText(int64_t ms)
{
    if (ms >= 60000 && ms % 60000 == 0)
        return std::to_string(ms / 60000) + (ms == 60000 ? " minute" : " minutes");
    if (ms >= 1000)
        return std::to_string((ms + 500) / 1000) + " s";
    return std::to_string(ms) + " ms";
}

std::string attemptsText(int attempts)
{
    return std::to_string(attempts) + (attempts == 1 ? " attempt" : " attempts");
}

// A seed that differs between the agents of a process and between processes, so that
// cameras that failed together do not retry together.
unsigned seedOf(const void* upkeep)
{
    unsigned seed = static_cast<unsigned>(reinterpret_cast<uintptr_t>(upkeep) >> 4);
    seed ^= static_cast<unsigned>(SessionKeeper::nowMs());
    try
    {
        seed ^= std::random_device()();
    }
    catch (...)
    {
        // No random device: the address and the clock still differ between agents.
    }
    return seed;
}

}  // namespace

SessionUpkeep::SessionUpkeep(CameraSession* session, SessionSignals* signals,
                             std::shared_ptr<SessionKeeper> keeper, const SessionTimings& timings,
                             const CameraSession::Opening& creation)
    : m_session(session),
      m_signals(signals),
      m_keeper(std::move(keeper)),
      m_schedule(timings, SessionKeeper::nowMs(), creation.delivering, creation.repairNeeded()),
      m_random(seedOf(this))
{
}

void SessionUpkeep::start()
{
    m_keeper->add(this);
}

void SessionUpkeep::stop()
{
    m_keeper->remove(this);
}

void SessionUpkeep::observe(int64_t nowMs)
{
    m_schedule.observe(nowMs, m_signals->frames.load(std::memory_order_relaxed),
                       m_signals->notifications.load(std::memory_order_relaxed));
}

double SessionUpkeep::random()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
}

SessionKeeper::Look SessionUpkeep::look(int64_t nowMs)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const uint32_t frames = m_signals->frames.load(std::memory_order_relaxed);
    observe(nowMs);
    m_work = m_schedule.due(nowMs);
    if (m_work != SessionWork::kNone)
        return {true, SessionKeeper::kNever};
    const int64_t next = m_schedule.nextLookMs(nowMs);
    if (next != SessionSchedule::kNever)
        return {false, next};
    m_signals->frameWanted.store(true);
    // A frame counted after the look began may have missed the flag: look again at once.
    if (m_signals->frames.load() != frames)
        return {false, nowMs};
    return {false, SessionKeeper::kNever};
}

void SessionUpkeep::work(const std::atomic<bool>& cancelled)
{
    SessionWork work = SessionWork::kNone;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        work = m_work;
        m_work = SessionWork::kNone;
    }
    std::string errorText;
    const bool done = runCatching(
        [&]
        {
            if (work == SessionWork::kOpen)
                open(cancelled);
            else if (work == SessionWork::kRepair)
                repair(cancelled);
            else if (work == SessionWork::kCheck)
                check();
        },
        &errorText);
    if (done || cancelled.load())
        return;
    print("ERROR: The work on the camera session with " + m_session->cameraAddress() +
          " stopped: " + errorText + "; it is tried again later.");
    // Counted as an outcome of that work, so that it is not due again at once.
    const korvane::port::MutexLock lock(&m_mutex);
    const int64_t now = SessionKeeper::nowMs();
    if (work == SessionWork::kOpen)
        m_schedule.openFailed(now, random());
    else if (work == SessionWork::kRepair)
        m_schedule.repaired(now, /*repairNeeded*/ true, random());
    else if (work == SessionWork::kCheck)
        m_schedule.checked(now, /*alive*/ true);  //< A check not made says nothing of it.
}

void SessionUpkeep::open(const std::atomic<bool>& cancelled)
{
    // What is left of the last opening (a login whose later steps failed) goes first.
    m_session->close(CameraSession::Closing::kRetry);
    if (cancelled.load())
        return;
    const CameraSession::Opening opening = m_session->open(&cancelled);
    if (opening.cancelled || cancelled.load())
        return;  //< The agent is being released; it closes what was opened.
    const korvane::port::MutexLock lock(&m_mutex);
    const int64_t now = SessionKeeper::nowMs();
    observe(now);
    if (opening.delivering)
    {
        const SessionSchedule::Recovery recovery =
            m_schedule.opened(now, opening.repairNeeded(), random());
        m_session->reportOpening(opening, "", "");
        print("The camera session with " + m_session->cameraAddress() + " opened again after " +
              attemptsText(recovery.attempts) + " in " + durationText(recovery.afterMs) + ".");
        return;
    }
    m_schedule.openFailed(now, random());
    if (!m_schedule.takeFailureLine(now))
        return;
    std::string consequence = "; attempt " + std::to_string(m_schedule.attempts()) +
                              ", the next in " + durationText(m_schedule.retryDelayMs()) +
                              " while the camera's video arrives.";
    if (m_schedule.failureLinesLimited())
        consequence += " Further failed attempts are reported once every " +
                       durationText(m_schedule.timings().reportEveryMs) + " at most.";
    m_session->reportOpening(opening, "did not open again", consequence);
}

void SessionUpkeep::repair(const std::atomic<bool>& cancelled)
{
    const CameraSession::Repair repair = m_session->repair(&cancelled);
    if (cancelled.load())
        return;
    const korvane::port::MutexLock lock(&m_mutex);
    const int64_t now = SessionKeeper::nowMs();
    observe(now);
    const SessionSchedule::Recovery recovery =
        m_schedule.repaired(now, repair.repairNeeded(), random());
    const std::string after =
        " after " + attemptsText(recovery.attempts) + " in " + durationText(recovery.afterMs);
    if (repair.capabilitiesRead)
    {
        print("The smart-rule capabilities of the camera " + m_session->cameraAddress() +
              " were read" + after + ".");
    }
    if (repair.alarmCallbackInstalled)
    {
        print("The alarm callback was installed on the camera " + m_session->cameraAddress() +
              after + "; its events arrive again.");
    }
    if (!repair.repairNeeded() || !m_schedule.takeFailureLine(now))
        return;
    if (repair.capabilitiesError)
        m_session->reportCapabilitiesFailure(*repair.capabilitiesError);
    if (repair.alarmCallbackError)
        m_session->reportAlarmCallbackFailure(*repair.alarmCallbackError);
}

void SessionUpkeep::check()
{
    int32_t lastError = 0;
    const bool alive = m_session->check(&lastError);
    {
        const korvane::port::MutexLock lock(&m_mutex);
        const int64_t now = SessionKeeper::nowMs();
        observe(now);
        if (!m_schedule.checked(now, alive))
            return;
    }
    print("ERROR: The camera session with " + m_session->cameraAddress() +
          " was lost: two checks of its channel list failed (OSTREL_GetLastError() = " +
          std::to_string(lastError) + "); it is opened again while the camera's video arrives.");
    m_session->close(CameraSession::Closing::kLost);
}

void SessionUpkeep::print(const std::string& line) const
{
    NX_KIT_PRINT(m_session->printPrefix()) << line;
}

}  // namespace nx::vms_server_plugins::analytics::sample
