// The background schedule of a camera session, played without sleeping: the video, the
// camera's notifications and the outcomes of the work are fed in at chosen times.

#include "plugin/session_schedule.h"

#include <gtest/gtest.h>

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

constexpr SessionWork kNone = SessionWork::kNone;
constexpr SessionWork kOpen = SessionWork::kOpen;
constexpr SessionWork kCheck = SessionWork::kCheck;
constexpr SessionWork kRepair = SessionWork::kRepair;

// Feeds a schedule the frames of a video that comes (or not) up to a time; a random of 0.5
// makes every delay its exact base.
class Clip
{
public:
    explicit Clip(bool delivering, bool repairNeeded = false)
        : m_schedule(SessionTimings(), 0, delivering, repairNeeded)
    {
    }

    // Frames every 500 ms from now up to `untilMs`, the schedule looking once a second.
    SessionWork video(int64_t untilMs)
    {
        for (; m_now + 500 <= untilMs; m_now += 500)
        {
            ++m_frames;
            if (++m_ticks % 2 == 0)
                m_schedule.observe(m_now, m_frames, m_notifications);
        }
        return at(untilMs, /*frame*/ true);
    }

    // No frame up to `untilMs`.
    SessionWork still(int64_t untilMs) { return at(untilMs, /*frame*/ false); }

    void notify() { ++m_notifications; }

    SessionSchedule& schedule() { return m_schedule; }
    int64_t now() const { return m_now; }

private:
    SessionWork at(int64_t ms, bool frame)
    {
        m_now = ms;
        m_frames += frame ? 1 : 0;
        m_schedule.observe(m_now, m_frames, m_notifications);
        return m_schedule.due(m_now);
    }

    SessionSchedule m_schedule;
    int64_t m_now = 0;
    uint32_t m_frames = 0;
    uint32_t m_notifications = 0;
    int m_ticks = 0;
};

TEST(SessionScheduleTest, FailedAttemptsWaitTwiceAsLongUpToTheLongestWhileTheVideoComes)
{
    Clip clip(/*delivering*/ false);
    EXPECT_EQ(clip.still(3'600'000), kNone) << "a camera without video costs no login";
    EXPECT_EQ(clip.schedule().nextLookMs(clip.now()), SessionSchedule::kNever);
    EXPECT_EQ(clip.video(3'600'000 + 40), kOpen) << "the first frame tries at once";
    const int64_t kWaits[] = {5000, 10000, 20000, 40000, 80000, 160000, 300000, 300000};
    for (const int64_t wait : kWaits)
    {
        SCOPED_TRACE(wait);
        const int64_t failedAt = clip.now();
        clip.schedule().openFailed(failedAt, 0.5);
        EXPECT_EQ(clip.schedule().retryDelayMs(), wait);
        EXPECT_EQ(clip.video(failedAt + wait - 1), kNone);
        EXPECT_EQ(clip.video(failedAt + wait), kOpen);
    }
    const SessionSchedule::Recovery recovery = clip.schedule().opened(clip.now(), false, 0.5);
    EXPECT_EQ(recovery.attempts, 9);
    EXPECT_EQ(recovery.afterMs, clip.now());
    EXPECT_EQ(clip.video(clip.now() + 30000), kNone);
}

TEST(SessionScheduleTest, WaitsSpreadByAFifthEitherWay)
{
    const struct
    {
        double random;
        int64_t wait;
    } kRows[] = {{0.0, 4000}, {0.25, 4500}, {0.999999, 6000}};
    for (const auto& row : kRows)
    {
        Clip clip(false);
        clip.video(1000);
        clip.schedule().openFailed(1000, row.random);
        EXPECT_EQ(clip.schedule().retryDelayMs(), row.wait) << row.random;
    }
}

TEST(SessionScheduleTest, AGapInTheVideoSuspendsTheAttemptsAndItsEndTriesAtOnce)
{
    Clip clip(false);
    clip.video(1000);
    clip.schedule().openFailed(1000, 0.5);
    clip.schedule().openFailed(clip.now(), 0.5);  //< The next would wait 10 s.
    EXPECT_EQ(clip.video(3000), kNone);
    EXPECT_EQ(clip.still(60000), kNone) << "the retry time passed without video";
    EXPECT_EQ(clip.schedule().nextLookMs(60000), SessionSchedule::kNever);
    EXPECT_EQ(clip.video(61000), kOpen);
    clip.schedule().openFailed(61000, 0.5);
    EXPECT_EQ(clip.schedule().retryDelayMs(), 5000) << "the waits start again";
}

TEST(SessionScheduleTest, ADeliveringSessionIsCheckedAfterAGapOrAQuietMinuteAndLostAfterTwoFailures)
{
    Clip clip(/*delivering*/ true);
    EXPECT_EQ(clip.video(59000), kNone);
    EXPECT_EQ(clip.video(60000), kCheck) << "a minute of video without a notification";
    EXPECT_FALSE(clip.schedule().checked(60000, /*alive*/ true));
    for (int64_t t = 90000; t <= 300000; t += 30000)
    {
        clip.notify();
        EXPECT_EQ(clip.video(t), kNone) << "notifications keep the checks away";
    }
    EXPECT_EQ(clip.still(320000), kNone) << "no video: nothing to check";
    EXPECT_EQ(clip.video(320000 + 33), kCheck) << "the video came back after a gap";
    EXPECT_FALSE(clip.schedule().checked(clip.now(), /*alive*/ false));
    const int64_t failedAt = clip.now();
    EXPECT_EQ(clip.still(failedAt + 1999), kNone);
    EXPECT_EQ(clip.still(failedAt + 2000), kCheck) << "repeated with or without video";
    EXPECT_TRUE(clip.schedule().checked(failedAt + 2000, /*alive*/ false));
    EXPECT_FALSE(clip.schedule().delivering());
    EXPECT_EQ(clip.video(failedAt + 2000), kOpen) << "a lost session is opened at once";
}

TEST(SessionScheduleTest, AFailedStepOfADeliveringSessionIsRepairedOnTheSameSchedule)
{
    Clip clip(/*delivering*/ true, /*repairNeeded*/ true);
    EXPECT_EQ(clip.still(5000), kNone);
    EXPECT_EQ(clip.video(5000), kRepair) << "the first frame after the opening";
    EXPECT_EQ(clip.schedule().repaired(5000, /*repairNeeded*/ true, 0.5).attempts, 1);
    EXPECT_EQ(clip.video(9999), kNone);
    EXPECT_EQ(clip.video(10000), kRepair);
    const SessionSchedule::Recovery recovery = clip.schedule().repaired(10000, false, 0.5);
    EXPECT_EQ(recovery.attempts, 2);
    EXPECT_EQ(recovery.afterMs, 10000);
    EXPECT_EQ(clip.video(50000), kNone);
}

TEST(SessionScheduleTest, FailureLinesAfterTheThirdComeOnceEveryTenMinutes)
{
    Clip clip(false);
    const struct
    {
        int64_t atMs;
        bool line;
    } kRows[] = {{0, true},        {5, true},       {10, true},       {20, false},
                 {600'009, false}, {600'010, true}, {600'011, false}, {1'200'010, true}};
    for (const auto& row : kRows)
        EXPECT_EQ(clip.schedule().takeFailureLine(row.atMs), row.line) << row.atMs;
}

TEST(SessionScheduleTest, TestHarnessOptionsShortenOnlyTheTimingsTheyNameWell)
{
    const SessionTimings timings = sessionTimingsFrom({{"sessionFrameGapMs", "300"},
                                                       {"sessionRecheckMs", "-5"},
                                                       {"sessionPollMs", "abc"},
                                                       {"sessionQuietCheckMs", "0"}});
    EXPECT_EQ(timings.frameGapMs, 300);
    EXPECT_EQ(timings.recheckMs, SessionTimings().recheckMs);
    EXPECT_EQ(timings.pollMs, SessionTimings().pollMs);
    EXPECT_EQ(timings.quietCheckMs, SessionTimings().quietCheckMs);
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
