// Many agents on several cameras under load: Camera SDK threads deliver alarms and
// detections while host threads push video, change settings and read the plugin-side
// settings, and further agents come and go in the middle of it, each taking over the
// session handle of the one destroyed before it. Bounded in time; meant for the
// ThreadSanitizer build as much as for the plain one.

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <nx/sdk/i_settings_response.h>

#include "plugin/camera_test_support.h"
#include "plugin/rules/rule_kind.h"

namespace korvane::test
{
namespace
{

using namespace std::chrono_literals;
using nx::sdk::ISettingsResponse;
using nx::sdk::Result;

constexpr int kCameras = 4;
constexpr int kStableAgentsPerCamera = 4;
constexpr auto kLoadDuration = 1500ms;

int countOf(const std::vector<host::MetadataRecord>& records, host::MetadataRecord::Kind kind)
{
    int count = 0;
    for (const auto& record : records)
        count += record.kind == kind ? 1 : 0;
    return count;
}

std::set<void*> liveSessionHandles()
{
    std::set<void*> handles;
    for (const auto& session : ostrel::control::liveSessions())
        handles.insert(session.handle);
    return handles;
}

// The handle of the one live session not in `known`; null when there is not exactly one.
void* onlyNewHandle(const std::set<void*>& known)
{
    void* found = nullptr;
    for (void* handle : liveSessionHandles())
    {
        if (known.count(handle))
            continue;
        if (found)
            return nullptr;
        found = handle;
    }
    return found;
}

ostrel::control::ChannelConfig ruleChannel()
{
    ostrel::control::ChannelConfig channel;
    channel.lineCrossCapability = channel.intrusionCapability = 1;
    channel.enterAreaCapability = channel.leaveAreaCapability = 1;
    return channel;
}

// Line crossing and intrusion are written in full; enter and leave area lack their
// sensitivities, so their writers stop with an error line: both paths run under load.
const std::map<std::string, std::string>& loadSettings()
{
    static const std::map<std::string, std::string> kSettings = []()
    {
        using namespace nx::vms_server_plugins::analytics::sample;
        constexpr RuleKind kLine = RuleKind::kLineCross;
        constexpr RuleKind kArea = RuleKind::kIntrusion;
        std::map<std::string, std::string> settings = {
            {"generateEvents", "true"},
            {"Face", "true"},
            {"Vehicle", "true"},
            {ruleSettingKey(kLine, 1, kEnableSuffix), "true"},
            {ruleSettingKey(kLine, 1, kPointsSuffix),
             R"({"figure": {"direction": "left", "points": [[0.1, 0.1], [0.9, 0.9]]}})"},
            {ruleSettingKey(kArea, 2, kEnableSuffix), "true"},
            {ruleSettingKey(kArea, 2, kFigureSuffix),
             R"({"figure": {"points": [[0.1, 0.1], [0.9, 0.1], [0.5, 0.9]]}})"},
            {ruleKindInfo(kLine).switchKey, "true"},
        };
        for (int n = 1; n <= 4; ++n)
        {
            settings[ruleSettingKey(kLine, n, kSensitivitySuffix)] = "50";
            settings[ruleSettingKey(kArea, n, kSensitivitySuffix)] = "60";
            settings[ruleSettingKey(kArea, n, kTimeThresholdSuffix)] = "3";
        }
        return settings;
    }();
    return kSettings;
}

class StressTest : public CameraTest
{
};

TEST_F(StressTest, ManyAgentsUnderLoadLoseNothingAndLeaveNothing)
{
    std::vector<ostrel::control::CameraId> cameras;
    for (int c = 1; c <= kCameras; ++c)
        cameras.push_back(addCamera(c, 1, ruleChannel()));
    std::vector<AgentUnderTest> stable;
    for (int c = 1; c <= kCameras; ++c)
    {
        for (int i = 0; i < kStableAgentsPerCamera; ++i)
        {
            stable.push_back(obtainAgent(cameraDevice(c)));
            ASSERT_TRUE(stable.back().agent);
            setSettings(stable.back().agent.get(), loadSettings());
        }
    }

    std::atomic<bool> stop{false};
    std::vector<int> alarmsRaised(kCameras, 0);
    std::vector<int> batchesDelivered(kCameras, 0);
    std::thread cameraDriver(
        [&]
        {
            ostrel::control::StructuredBatch batch;
            batch.faces.resize(1);
            batch.vehicles.resize(1);
            for (int round = 0; !stop.load(); ++round)
            {
                for (int c = 0; c < kCameras; ++c)
                {
                    ostrel::control::raiseAlarm(cameras[c], round % 2 ? 2 : 1, round);
                    ++alarmsRaised[c];
                    ostrel::control::deliverStructured(cameras[c], batch);
                    ++batchesDelivered[c];
                }
                std::this_thread::sleep_for(1ms);
            }
        });

    // Each host thread drives its own agents, one call at a time per agent, as the server does.
    const auto driveAgents = [&](size_t first)
    {
        for (int64_t frame = 1; !stop.load(); ++frame)
        {
            for (size_t i = first; i < stable.size(); i += 2)
            {
                pushFrame(stable[i].agent.get(), frame * 33333);
                if (frame % 50 == 0)
                    setSettings(stable[i].agent.get(), loadSettings());
                if (frame % 70 == 0)
                {
                    Result<const ISettingsResponse*> result;
                    stable[i].agent->getPluginSideSettings(&result);
                    if (result.value)
                        result.value->releaseRef();
                }
            }
        }
    };
    std::thread hostThreadA(driveAgents, 0);
    std::thread hostThreadB(driveAgents, 1);

    // The stand-in hands out the lowest free handle, so each churned agent gets the handle
    // of the one before it, on the next camera: the destroyed agent must get nothing of
    // what its successor receives under the same handle.
    int churned = 0;
    int reusedHandles = 0;
    std::thread churn(
        [&]
        {
            const std::set<void*> stableHandles = liveSessionHandles();
            nx::sdk::Ptr<host::DeviceAgentHandler> previousHandler;
            int previousCount = 0;
            void* previousHandle = nullptr;
            for (int round = 0; !stop.load(); ++round, ++churned)
            {
                AgentUnderTest agent = obtainAgent(cameraDevice(1 + round % kCameras));
                if (!agent.agent)
                    continue;
                void* const handle = onlyNewHandle(stableHandles);
                reusedHandles += handle && handle == previousHandle ? 1 : 0;
                setSettings(agent.agent.get(), loadSettings());
                std::this_thread::sleep_for(2ms);
                if (previousHandler)
                {
                    EXPECT_EQ(previousHandler->recordCount(), previousCount)
                        << "a destroyed agent received a packet sent to its handle's next owner";
                }
                agent.agent.reset();
                const int afterRelease = agent.handler->recordCount();
                std::this_thread::sleep_for(1ms);
                EXPECT_EQ(agent.handler->recordCount(), afterRelease)
                    << "a destroyed agent received a packet";
                previousHandler = agent.handler;
                previousCount = afterRelease;
                previousHandle = handle;
            }
        });

    std::this_thread::sleep_for(kLoadDuration);
    stop.store(true);
    cameraDriver.join();
    hostThreadA.join();
    hostThreadB.join();
    churn.join();
    for (const auto camera : cameras)
        ASSERT_TRUE(ostrel::control::waitForAllDeliveries(camera, 60000));

    EXPECT_GT(churned, 0);
    EXPECT_GT(reusedHandles, 0);
    for (size_t i = 0; i < stable.size(); ++i)
    {
        SCOPED_TRACE(i);
        const int c = static_cast<int>(i) / kStableAgentsPerCamera;
        // A pending batch is drained by the next frame.
        pushFrame(stable[i].agent.get(), 1LL << 40);
        const auto records = stable[i].handler->records();
        EXPECT_EQ(countOf(records, host::MetadataRecord::Kind::event), alarmsRaised[c]);
        const int objectPackets = countOf(records, host::MetadataRecord::Kind::object);
        EXPECT_GT(objectPackets, 0);
        EXPECT_LE(objectPackets, batchesDelivered[c]);
        EXPECT_EQ(stable[i].handler->overlapCount(), 0);
    }
    stable.clear();
    EXPECT_TRUE(ostrel::control::liveSessions().empty());
}

}  // namespace
}  // namespace korvane::test
