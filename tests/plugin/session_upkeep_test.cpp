// Cameras that go away and come back, in real time against the Camera SDK stand-in: a camera
// offline when it is bound, one that reboots and one behind a cut network each deliver again
// soon after their video resumes; a camera without video gets no login attempt; an agent
// released while its background work runs leaves no session behind.

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "plugin/camera_test_support.h"
#include "plugin/plugin_library_test_support.h"

namespace korvane::test
{
namespace
{

using namespace std::chrono;
using ostrel::control::CameraId;
using ostrel::control::Operation;

// How long a camera may take to deliver again once its video is back.
constexpr auto kBackWithin = seconds(15);

class SessionUpkeepTest : public CameraTest
{
protected:
    void SetUp() override
    {
        // Short timings, so that the test waits for tenths of a second rather than minutes.
        pluginLibrary()->setUnitTestOptions({{"sessionFrameGapMs", "300"},
                                             {"sessionFirstRetryMs", "100"},
                                             {"sessionLongestRetryMs", "400"},
                                             {"sessionRecheckMs", "50"},
                                             {"sessionPollMs", "50"}});
        CameraTest::SetUp();
    }

    void TearDown() override
    {
        m_stopVideo = true;
        if (m_video.joinable())
            m_video.join();
        m_agents.clear();
        CameraTest::TearDown();
        pluginLibrary()->setUnitTestOptions({});
    }

    // Binds camera `index` and sends it video (every 20 ms) while `showing` says so.
    AgentUnderTest* bind(int index)
    {
        m_agents.push_back(obtainAgent(cameraDevice(index)));
        return &m_agents.back();
    }

    void startVideo()
    {
        m_video = std::thread(
            [this]
            {
                for (int64_t t = 0; !m_stopVideo; t += 20000)
                {
                    for (size_t i = 0; i < m_agents.size(); ++i)
                    {
                        if (!(m_hidden.load() & (1u << i)))
                            pushFrame(m_agents[i].agent.get(), t);
                    }
                    std::this_thread::sleep_for(milliseconds(20));
                }
            });
    }

    // Takes camera `camera` (the agent bound `i`th) away with its video.
    void takeAway(CameraId camera, size_t i)
    {
        m_hidden |= 1u << i;
        ostrel::control::takeAway(camera);
    }

    // Keeps it away long enough for the gap in its video to count, then brings both back.
    void bringBack(CameraId camera, size_t i, bool rebooted)
    {
        std::this_thread::sleep_for(milliseconds(500));
        ostrel::control::bringBack(camera, rebooted);
        m_hidden &= ~(1u << i);
    }

    // Whether the camera's alarms and detections reach the agent again within kBackWithin.
    static bool deliversAgain(CameraId camera, AgentUnderTest* agent)
    {
        const auto end = steady_clock::now() + kBackWithin;
        agent->handler->takeRecords();
        std::set<host::MetadataRecord::Kind> kinds;
        while (kinds.size() < 2 && steady_clock::now() < end)
        {
            ostrel::control::raiseAlarm(camera, 1, 1765000000);
            ostrel::control::deliverStructured(camera, {{ostrel::control::FaceCodes{}}, {}, {}});
            std::this_thread::sleep_for(milliseconds(50));
            for (const host::MetadataRecord& record : agent->handler->takeRecords())
                kinds.insert(record.kind);
        }
        return kinds.size() == 2;
    }

    std::vector<AgentUnderTest> m_agents;  //< Reserved: the video thread reads it.
    std::atomic<unsigned> m_hidden{0};     //< Agents whose camera's video is down.
    std::atomic<bool> m_stopVideo{false};
    std::thread m_video;
};

TEST_F(SessionUpkeepTest, CamerasThatWentAwayDeliverAgainSoonAfterTheirVideoResumes)
{
    m_agents.reserve(3);
    const CameraId offline = addCamera(1);
    const CameraId rebooting = addCamera(2);
    const CameraId cut = addCamera(3);
    ostrel::control::takeAway(offline);
    m_hidden = 1u << 0;
    AgentUnderTest* offlineAgent = bind(1);
    AgentUnderTest* rebootingAgent = bind(2);
    AgentUnderTest* cutAgent = bind(3);
    for (AgentUnderTest* agent : {offlineAgent, rebootingAgent, cutAgent})
        setSettings(agent->agent.get(), {{"generateEvents", "true"}, {"Face", "true"}});
    startVideo();

    std::this_thread::sleep_for(milliseconds(600));
    EXPECT_EQ(ostrel::control::callCount(Operation::kLogin), 3)
        << "a camera without video gets no login attempt";
    bringBack(offline, 0, /*rebooted*/ false);
    EXPECT_TRUE(deliversAgain(offline, offlineAgent)) << "offline at bind";

    takeAway(rebooting, 1);
    bringBack(rebooting, 1, /*rebooted*/ true);
    EXPECT_TRUE(deliversAgain(rebooting, rebootingAgent)) << "rebooted";

    const int loginsBefore = ostrel::control::callCount(Operation::kLogin);
    takeAway(cut, 2);
    bringBack(cut, 2, /*rebooted*/ false);
    EXPECT_TRUE(deliversAgain(cut, cutAgent)) << "network cut";
    EXPECT_EQ(ostrel::control::callCount(Operation::kLogin), loginsBefore)
        << "a session that survived the cut is kept";

    const std::string log = takeLog();
    for (const char* line :
         {"10.0.0.1:8000 did not open: the login failed (OSTREL_GetLastError() = 10)",
          "10.0.0.1:8000 opened again after 1 attempt in ",
          "10.0.0.2:8000 was lost: two checks of its channel list failed (OSTREL_GetLastError() "
          "= 5)",
          "10.0.0.2:8000 opened again after 1 attempt in "})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(log.find("10.0.0.3:8000 was lost"), std::string::npos);
    EXPECT_EQ(log.find(kPassword), std::string::npos);
}

TEST_F(SessionUpkeepTest, AnAgentReleasedWhileItsSessionIsReopenedLeavesNoSession)
{
    m_agents.reserve(1);
    addCamera(1);
    // Every opening stops at the subscription, so the background work keeps logging in and
    // out while the agent is released at chosen moments.
    ostrel::control::failOperation(Operation::kSubscribe, 1000);
    bind(1);
    startVideo();
    for (int i = 0; i < 20; ++i)
    {
        std::this_thread::sleep_for(milliseconds(i * 7 % 60));
        m_stopVideo = true;
        m_video.join();
        m_agents.clear();
        EXPECT_TRUE(ostrel::control::liveSessions().empty()) << i;
        m_stopVideo = false;
        bind(1);
        startVideo();
    }
    EXPECT_GT(ostrel::control::callCount(Operation::kLogin), 21) << "the openings went on";
}

}  // namespace
}  // namespace korvane::test
