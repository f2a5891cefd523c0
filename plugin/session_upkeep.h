// SessionUpkeep: keeps one device agent's camera session delivering, in the background.
//
// It is the agent's task in the SessionKeeper: its looks follow the SessionSchedule with the
// frames and notifications the agent has seen, and its work opens the session again after a
// failed opening or a loss, tries again the steps that do not stop delivery, and checks a
// delivering session, printing one line for each loss, each failed attempt (after the third,
// one per ten minutes at most) and each recovery.
//
// Thread-safety: the agent's frame hook and the Camera SDK callbacks touch only the atomic
// SessionSignals; look() and work() run on the keeper's threads, one at a time, and share
// the schedule under m_mutex; start() and stop() are the agent's.

#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <random>

#include "camera_session.h"
#include "port/mutex.h"
#include "session_keeper.h"
#include "session_schedule.h"

namespace nx::vms_server_plugins::analytics::sample
{

// What the agent's host and Camera SDK threads tell the background work, without a lock.
struct SessionSignals
{
    std::atomic<uint32_t> frames{0};         //< Frames seen; written by the frame hook only.
    std::atomic<uint32_t> notifications{0};  //< Alarms and detection batches received.
    std::atomic<bool> frameWanted{false};    //< Only a frame can make work due: wake on one.
};

class SessionUpkeep final : public SessionKeeper::Task
{
public:
    // Follows `session` after the opening at creation, `creation`. REQUIRES: `session` and
    // `signals` outlive the upkeep.
    SessionUpkeep(CameraSession* session, SessionSignals* signals,
                  std::shared_ptr<SessionKeeper> keeper, const SessionTimings& timings,
                  const CameraSession::Opening& creation);

    // Takes the upkeep into the keeper.
    void start();

    // Takes it out, waiting at most for the Camera SDK call in flight; what that work opened
    // stays in the session for its owner to close. REQUIRES: called before destruction.
    void stop();

    // Called by the frame hook after it counted a frame: wakes the background work when it
    // waits for one.
    void frameArrived()
    {
        if (m_signals->frameWanted.load(std::memory_order_relaxed) &&
            m_signals->frameWanted.exchange(false))
            m_keeper->wake(this);
    }

    SessionKeeper::Look look(int64_t nowMs) override EXCLUDES(m_mutex);
    void work(const std::atomic<bool>& cancelled) override EXCLUDES(m_mutex);

private:
    // Each work, with the schedule's outcome and its lines.
    void open(const std::atomic<bool>& cancelled) EXCLUDES(m_mutex);
    void repair(const std::atomic<bool>& cancelled) EXCLUDES(m_mutex);
    void check() EXCLUDES(m_mutex);

    // Observes the signals at `nowMs`. REQUIRES: m_mutex.
    void observe(int64_t nowMs) REQUIRES(m_mutex);

    // Uniform in [0, 1).
    double random() REQUIRES(m_mutex);

    // Prints one line with the agent's prefix.
    void print(const std::string& line) const;

    CameraSession* const m_session;
    SessionSignals* const m_signals;
    const std::shared_ptr<SessionKeeper> m_keeper;

    korvane::port::Mutex m_mutex;
    SessionSchedule m_schedule GUARDED_BY(m_mutex);
    SessionWork m_work GUARDED_BY(m_mutex) = SessionWork::kNone;
    std::minstd_rand m_random GUARDED_BY(m_mutex);
};

}  // namespace nx::vms_server_plugins::analytics::sample
