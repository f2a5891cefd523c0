// The device agent's camera session and alarm events, observed through the Camera SDK
// stand-in and the host's recording handler.

#include "host/data_packets.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <thread>

#include <gtest/gtest.h>

#include "plugin/camera_test_support.h"

namespace korvane::test
{
namespace
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using ostrel::control::callCount;
using ostrel::control::Operation;

class DeviceAgentTest : public CameraTest
{
protected:
    // Raises alarms on `camera` and waits until they have been handled.
    static void raiseAlarms(ostrel::control::CameraId camera,
                            const std::vector<std::pair<int32_t, int64_t>>& alarms)
    {
        uint64_t ticket = 0;
        for (const auto& [code, time] : alarms)
            ticket = ostrel::control::raiseAlarm(camera, code, time);
        ASSERT_TRUE(ostrel::control::waitForDelivery(camera, ticket));
    }
};

TEST_F(DeviceAgentTest, SessionOpensWithTheDeviceInfoAndClosesAtDestruction)
{
    addCamera(5);
    AgentUnderTest agent = obtainAgent(cameraDevice(5));
    ASSERT_TRUE(agent.agent);

    const OstrelLoginRecord login = ostrel::control::lastLoginRecord();
    EXPECT_STREQ(login.address, "10.0.0.5");
    EXPECT_EQ(login.port, 8000);
    EXPECT_STREQ(login.loginName, kLogin);
    EXPECT_STREQ(login.password, kPassword);
    EXPECT_EQ(login.loginMode, 0);
    const OstrelSubscriptionRequest request = ostrel::control::lastSubscriptionRequest();
    EXPECT_EQ(request.alarmTypes, -1);
    EXPECT_EQ(request.structuredTypes, 0xFFFF);
    for (const auto field :
         {host::DeviceInfo::Field::url, host::DeviceInfo::Field::login,
          host::DeviceInfo::Field::password, host::DeviceInfo::Field::channelNumber})
    {
        EXPECT_EQ(agent.deviceInfo->readCount(field), 1);
    }

    const auto sessions = ostrel::control::liveSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_TRUE(sessions[0].hasAlarmCallback && sessions[0].hasStructDataCallback);
    EXPECT_TRUE(sessions[0].subscribed);
    const uint32_t subscriptionId = sessions[0].subscriptionId;

    agent.agent.reset();
    EXPECT_TRUE(ostrel::control::liveSessions().empty());
    EXPECT_EQ(ostrel::control::lastUnsubscribeId(), subscriptionId);
    EXPECT_EQ(callCount(Operation::kUnsubscribe), 1);
    EXPECT_EQ(callCount(Operation::kLogout), 1);
}

TEST_F(DeviceAgentTest, MultiChannelDeviceIsAddressedOneChannelUp)
{
    addCamera(1, /*channelCount*/ 1);
    AgentUnderTest single = obtainAgent(cameraDevice(1, /*channelNumber*/ 0));
    ASSERT_TRUE(single.agent);
    EXPECT_EQ(ostrel::control::lastChannel(), 0);

    addCamera(2, /*channelCount*/ 4, {}, /*channelNumber*/ 3);
    AgentUnderTest multi = obtainAgent(cameraDevice(2, /*channelNumber*/ 2));
    ASSERT_TRUE(multi.agent);
    EXPECT_EQ(ostrel::control::lastChannel(), 3);
}

TEST_F(DeviceAgentTest, EachFailingSessionStepLeavesAQuietAgentThatStillClosesItsSession)
{
    const struct
    {
        Operation failing;
        std::vector<Operation> notCalled;
        bool loggedIn;
        const char* step;
    } kCases[] = {
        {Operation::kLogin,
         {Operation::kQueryChannelList, Operation::kUnsubscribe, Operation::kLogout},
         false,
         "login"},
        {Operation::kQueryChannelList,
         {Operation::kGetDeviceConfig, Operation::kSetAlarmCallback, Operation::kSubscribe},
         true,
         "channel list"},
        {Operation::kSetStructDataCallback,
         {Operation::kSubscribe},
         true,
         "structured-data callback"},
        {Operation::kSubscribe, {}, true, "subscription"},
    };
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(static_cast<int>(c.failing));
        ostrel::control::reset();
        const auto camera = addCamera(1);
        ostrel::control::failOperation(c.failing, 1, /*error*/ 42);
        takeLog();
        AgentUnderTest agent = obtainAgent(cameraDevice(1));
        ASSERT_TRUE(agent.agent) << "Camera SDK failures never refuse the agent";
        const std::string log = takeLog();
        EXPECT_NE(
            log.find(std::string("_device_") + cameraDevice(1).id +
                     "] ERROR: The camera session with 10.0.0.1:8000 did not open: the " + c.step +
                     " failed (OSTREL_GetLastError() = 42); it is tried again while the "
                     "camera's video arrives.\n"),
            std::string::npos)
            << log;
        EXPECT_EQ(log.find(kPassword), std::string::npos);
        for (const Operation operation : c.notCalled)
            EXPECT_EQ(callCount(operation), 0) << static_cast<int>(operation);

        raiseAlarms(camera, {{1, 10}});
        EXPECT_EQ(agent.handler->recordCount(), 0);

        agent.agent.reset();
        EXPECT_EQ(callCount(Operation::kLogout), c.loggedIn ? 1 : 0);
        EXPECT_EQ(callCount(Operation::kUnsubscribe), c.loggedIn ? 1 : 0);
        if (c.loggedIn)
        {
            EXPECT_EQ(ostrel::control::lastUnsubscribeId(), 0u);
        }
    }
}

TEST_F(DeviceAgentTest, FailedConfigurationReadStillDeliversAlarms)
{
    const auto camera = addCamera(1);
    ostrel::control::failOperation(Operation::kGetDeviceConfig, 1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    raiseAlarms(camera, {{1, 10}});
    EXPECT_EQ(agent.handler->recordCount(), 1);
}

TEST_F(DeviceAgentTest, WrongPasswordLogsNothingInAndDeliversNothing)
{
    const auto camera = addCamera(1);
    auto device = cameraDevice(1);
    device.password = "wrong";
    AgentUnderTest agent = obtainAgent(device);
    ASSERT_TRUE(agent.agent);
    EXPECT_TRUE(ostrel::control::liveSessions().empty());
    raiseAlarms(camera, {{1, 10}});
    EXPECT_EQ(agent.handler->recordCount(), 0);
}

TEST_F(DeviceAgentTest, AlarmCodesBecomeEventsOfTheirRows)
{
    const auto camera = addCamera(1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    raiseAlarms(camera, {{1, 100},
                         {2, 101},
                         {6, 102},
                         {3, 103},
                         {4, 104},
                         {9, 105},
                         {10, 106},
                         {11, 107},
                         {1442, 108},
                         {920, 109},
                         {1006, 110},
                         {1430, 111}});

    const struct
    {
        const char* typeId;
        const char* caption;
        const char* description;
        bool isActive;
        int64_t timestampUs;
    } kExpected[] = {
        {"Motion", "MoveDetect", "MoveDetect Start", true, 100000000},
        {"Motion", "MoveDetect", "MoveDetect Recover", false, 101000000},
        {"Tampering", "Tampering", "Tampering Recover", false, 102000000},
        {"Temperature", "Temperature", "Temperature", false, 108000000},
        {"Conflagrationdetection", "Conflagration detection", "Conflagration detection", false,
         109000000},
        {"ImageIsBlurry", "Image Is Blurry", "Image Is Blurry", true, 110000000},
        {"CrowdDensityMinor", "CrowdDensity", "CrowdDensity: Minor Cleared", false, 111000000},
    };
    const auto records = agent.handler->records();
    ASSERT_EQ(records.size(), std::size(kExpected));
    for (size_t i = 0; i < records.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].kind, host::MetadataRecord::Kind::event);
        EXPECT_EQ(records[i].timestampUs, kExpected[i].timestampUs);
        EXPECT_EQ(records[i].durationUs, 0);
        ASSERT_EQ(records[i].items.size(), 1u);
        const host::MetadataItem& event = records[i].items[0];
        EXPECT_EQ(event.typeId, kExpected[i].typeId);
        EXPECT_EQ(event.key, kExpected[i].typeId);
        EXPECT_EQ(event.caption, kExpected[i].caption);
        EXPECT_EQ(event.description, kExpected[i].description);
        EXPECT_EQ(event.isActive, kExpected[i].isActive);
        EXPECT_EQ(event.confidence, 1.0F);
        EXPECT_TRUE(event.trackId.isNull());
    }
}

TEST_F(DeviceAgentTest, GenerateEventsSettingGatesTheAlarmEvents)
{
    const auto camera = addCamera(1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);

    setSettings(agent.agent.get(), {{"generateEvents", "false"}});
    raiseAlarms(camera, {{1, 1}});
    EXPECT_EQ(agent.handler->recordCount(), 0);

    setSettings(agent.agent.get(), {{"generateEvents", "TRUE"}});
    raiseAlarms(camera, {{2, 2}});
    ASSERT_EQ(agent.handler->recordCount(), 1);
    EXPECT_EQ(agent.handler->records()[0].items[0].description, "MoveDetect Recover");
}

TEST_F(DeviceAgentTest, TwoCamerasReceiveOnlyTheirOwnAlarms)
{
    const auto first = addCamera(1);
    const auto second = addCamera(2);
    AgentUnderTest a = obtainAgent(cameraDevice(1));
    AgentUnderTest b = obtainAgent(cameraDevice(2));
    ASSERT_TRUE(a.agent && b.agent);
    raiseAlarms(first, {{1, 10}});
    raiseAlarms(second, {{5, 20}, {6, 21}});
    EXPECT_EQ(a.handler->recordCount(), 1);
    EXPECT_EQ(b.handler->recordCount(), 2);
}

TEST_F(DeviceAgentTest, DestroyedAgentGetsNothingEvenWhenItsHandleIsReused)
{
    addCamera(1);
    const auto second = addCamera(2);
    AgentUnderTest old = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(old.agent);
    void* const oldHandle = ostrel::control::liveSessions().at(0).handle;
    old.agent.reset();

    AgentUnderTest fresh = obtainAgent(cameraDevice(2));
    ASSERT_TRUE(fresh.agent);
    ASSERT_EQ(ostrel::control::liveSessions().at(0).handle, oldHandle)
        << "the stand-in hands the freed handle out again";
    raiseAlarms(second, {{1, 10}});
    EXPECT_EQ(old.handler->recordCount(), 0);
    EXPECT_EQ(fresh.handler->recordCount(), 1);
}

TEST_F(DeviceAgentTest, AlarmsRacingOnTwoThreadsEachCarryTheirOwnRowAndTime)
{
    const auto camera = addCamera(1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    constexpr int kAlarmsPerThread = 200;
    const auto raise = [camera](int32_t code, int64_t time)
    {
        for (int i = 0; i < kAlarmsPerThread; ++i)
            ostrel::control::raiseAlarmNow(camera, code, time);
    };
    std::thread starts(raise, 1, 100);
    std::thread ends(raise, 2, 200);
    starts.join();
    ends.join();

    const auto records = agent.handler->records();
    ASSERT_EQ(records.size(), 2u * kAlarmsPerThread);
    for (const auto& record : records)
    {
        const bool start = record.items.at(0).description == "MoveDetect Start";
        EXPECT_EQ(record.timestampUs, start ? 100000000 : 200000000);
        EXPECT_EQ(record.items[0].isActive, start);
    }
    EXPECT_EQ(agent.handler->overlapCount(), 0);
}

TEST_F(DeviceAgentTest, DestructionRacingWithAlarmDeliveryNeverReachesTheDestroyedAgent)
{
    const auto camera = addCamera(1);
    for (int round = 0; round < 20; ++round)
    {
        AgentUnderTest agent = obtainAgent(cameraDevice(1));
        ASSERT_TRUE(agent.agent);
        std::atomic<bool> stop{false};
        std::thread alarms(
            [&]
            {
                while (!stop.load())
                    ostrel::control::raiseAlarmNow(camera, 1, round);
            });
        std::this_thread::yield();
        agent.agent.reset();
        const int afterDestruction = agent.handler->recordCount();
        stop.store(true);
        alarms.join();
        EXPECT_EQ(agent.handler->recordCount(), afterDestruction);
    }
}

TEST_F(DeviceAgentTest, AlarmTimeBeyondTheMicrosecondRangeSaturates)
{
    const auto camera = addCamera(1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    OstrelAlarmRecord alarm{};
    alarm.alarmType = 1;
    alarm.alarmTime = std::numeric_limits<int64_t>::max() / 1000;
    ostrel::control::raiseRawAlarmNow(camera, &alarm);
    alarm.alarmTime = std::numeric_limits<int64_t>::min();
    ostrel::control::raiseRawAlarmNow(camera, &alarm);
    ostrel::control::raiseRawAlarmNow(camera, nullptr);
    const auto records = agent.handler->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].timestampUs, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(records[1].timestampUs, std::numeric_limits<int64_t>::min());
}

TEST_F(DeviceAgentTest, UncompressedFrameResendsThePendingEventWithTheFrameTime)
{
    const auto camera = addCamera(1);
    AgentUnderTest agent = obtainAgent(cameraDevice(1));
    ASSERT_TRUE(agent.agent);
    const auto pushUncompressed = [&](int64_t timestampUs)
    {
        Result<void> result;
        agent.agent->doPushDataPacket(&result,
                                      makePtr<host::UncompressedVideoFrame>(timestampUs).get());
        EXPECT_TRUE(result.isOk());
    };
    pushUncompressed(123);
    EXPECT_EQ(agent.handler->recordCount(), 0) << "no event is pending yet";

    raiseAlarms(camera, {{5, 7}});
    pushUncompressed(123456);
    auto records = agent.handler->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].timestampUs, 123456);
    EXPECT_EQ(records[1].items.at(0).description, "Tampering Start");

    setSettings(agent.agent.get(), {{"generateEvents", "false"}});
    pushUncompressed(200000);
    EXPECT_EQ(agent.handler->recordCount(), 2);
}

// Objects: batches from the Camera SDK, drained by the next compressed frame.
class DeviceAgentObjectsTest : public DeviceAgentTest
{
protected:
    void SetUp() override
    {
        DeviceAgentTest::SetUp();
        m_camera = addCamera(1);
        m_agent = obtainAgent(cameraDevice(1));
        ASSERT_TRUE(m_agent.agent);
    }

    static ostrel::control::StructuredBatch allFour()
    {
        ostrel::control::StructuredBatch batch;
        ostrel::control::FaceCodes face;
        face.gender = 1;
        batch.faces.push_back(face);
        ostrel::control::PersonCodes person;
        person.age = 0;
        batch.persons.push_back(person);
        ostrel::control::VehicleCodes car;
        car.vehicleType = 10;
        car.plateNumber = "KOR-1";
        batch.vehicles.push_back(car);
        return batch;
    }

    void enable(std::map<std::string, std::string> settings)
    {
        settings.emplace("generateEvents", "true");
        setSettings(m_agent.agent.get(), settings);
    }

    // Delivers `batch` and pushes one frame; returns the packets the frame produced.
    std::vector<host::MetadataRecord> deliverAndPush(const ostrel::control::StructuredBatch& batch,
                                                     int64_t frameTimestampUs)
    {
        ostrel::control::deliverStructuredNow(m_camera, batch);
        m_agent.handler->takeRecords();
        EXPECT_TRUE(pushFrame(m_agent.agent.get(), frameTimestampUs));
        return m_agent.handler->takeRecords();
    }

    static std::vector<std::string> typeIds(const host::MetadataRecord& record)
    {
        std::vector<std::string> ids;
        for (const auto& item : record.items)
            ids.push_back(item.typeId);
        return ids;
    }

    ostrel::control::CameraId m_camera = 0;
    AgentUnderTest m_agent;
};

TEST_F(DeviceAgentObjectsTest, EnabledTypesReachTheNextFrameInTypeOrderWithAttributes)
{
    enable({{"Face", "true"},
            {"LicensePlate", "1"},
            {"Person", "true"},
            {"Vehicle", "true"},
            {"timestampShiftMs", "-250"}});
    const auto packets = deliverAndPush(allFour(), 1000000);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].kind, host::MetadataRecord::Kind::object);
    EXPECT_EQ(packets[0].timestampUs, 1000000 - 250000);
    EXPECT_EQ(typeIds(packets[0]),
              (std::vector<std::string>{"Face", "LicensePlate", "Person", "Vehicle"}));
    EXPECT_EQ(packets[0].items[0].attributes, (std::vector<std::pair<std::string, std::string>>{
                                                  {"Gender", "Man"}, {"Hat.Color", "Black"}}))
        << "code 0 is a colour";
    EXPECT_EQ(packets[0].items[1].attributes,
              (std::vector<std::pair<std::string, std::string>>{
                  {"Color", "Black"}, {"Number", "KOR-1"}, {"Type", "BigCar"}}));
    for (const auto& item : packets[0].items)
        EXPECT_EQ(item.confidence, 1.0F);

    EXPECT_TRUE(pushFrame(m_agent.agent.get(), 2000000));
    EXPECT_TRUE(m_agent.handler->takeRecords().empty()) << "nothing new, nothing sent";
}

TEST_F(DeviceAgentObjectsTest, DisabledTypesAreDroppedButStillCleared)
{
    enable({{"Face", "false"}, {"Person", "true"}});
    const auto packets = deliverAndPush(allFour(), 5);
    ASSERT_EQ(packets.size(), 1u);
    ASSERT_EQ(typeIds(packets[0]), (std::vector<std::string>{"Person"}));
    EXPECT_FLOAT_EQ(packets[0].items[0].boundingBox.x, 0.05F);
    EXPECT_FLOAT_EQ(packets[0].items[0].boundingBox.width, 0.5F);

    enable({{"Face", "true"}});
    ostrel::control::StructuredBatch empty;
    const auto later = deliverAndPush(empty, 6);
    ASSERT_EQ(later.size(), 1u) << "an empty batch still yields a packet";
    EXPECT_TRUE(later[0].items.empty()) << "the earlier face was cleared, not kept";
}

TEST_F(DeviceAgentObjectsTest, SendAttributesOffKeepsTypesBoxesAndTrackIds)
{
    enable({{"Vehicle", "true"}, {"sendAttributes", "false"}});
    const auto packets = deliverAndPush(allFour(), 5);
    ASSERT_EQ(packets.size(), 1u);
    ASSERT_EQ(packets[0].items.size(), 1u);
    EXPECT_TRUE(packets[0].items[0].attributes.empty());
    EXPECT_FALSE(packets[0].items[0].trackId.isNull());
    EXPECT_GT(packets[0].items[0].boundingBox.width, 0.0F);
}

TEST_F(DeviceAgentObjectsTest, TrackIdsLastUntilEveryTwoHundredthFrame)
{
    enable({{"Face", "true"}, {"Person", "true"}});
    const auto first = deliverAndPush(allFour(), 1);  //< Frame 1.
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(first[0].items.size(), 2u);
    const Uuid faceTrack = first[0].items[0].trackId;
    EXPECT_NE(faceTrack, first[0].items[1].trackId);

    for (int frame = 2; frame < 199; ++frame)
        pushFrame(m_agent.agent.get(), frame);
    const auto sameSlot = deliverAndPush(allFour(), 199);  //< Frame 199.
    EXPECT_EQ(sameSlot.at(0).items.at(0).trackId, faceTrack);
    EXPECT_FLOAT_EQ(sameSlot[0].items[0].boundingBox.y, 0.0F);

    const auto renewed = deliverAndPush(allFour(), 200);  //< Frame 200 empties the list.
    EXPECT_NE(renewed.at(0).items.at(0).trackId, faceTrack);
    EXPECT_FLOAT_EQ(renewed[0].items[0].boundingBox.y, 0.55F) << "two boxes of 0.45 at the bottom";
}

TEST_F(DeviceAgentObjectsTest, BatchOfAnotherCameraChangesNothing)
{
    const auto other = addCamera(2);
    AgentUnderTest otherAgent = obtainAgent(cameraDevice(2));
    ASSERT_TRUE(otherAgent.agent);
    enable({{"Face", "true"}});
    ostrel::control::deliverStructuredNow(other, allFour());
    EXPECT_TRUE(pushFrame(m_agent.agent.get(), 1));
    EXPECT_EQ(m_agent.handler->recordCount(), 0);
}

TEST_F(DeviceAgentObjectsTest, BatchesRacingTheVideoAndTheSettingsStayConsistent)
{
    enable({{"Face", "true"}, {"Vehicle", "true"}});
    std::atomic<bool> stop{false};
    std::thread camera(
        [&]
        {
            while (!stop.load())
                ostrel::control::deliverStructuredNow(m_camera, allFour());
        });
    std::thread settings(
        [&]
        {
            for (int i = 0; i < 50; ++i)
                enable({{"Face", i % 2 ? "true" : "false"}, {"Vehicle", "true"}});
        });
    for (int frame = 1; frame <= 500; ++frame)
        pushFrame(m_agent.agent.get(), frame);
    settings.join();
    stop.store(true);
    camera.join();
    for (const auto& record : m_agent.handler->records())
    {
        if (record.kind != host::MetadataRecord::Kind::object)
            continue;
        for (const auto& item : record.items)
            EXPECT_TRUE(item.typeId == "Face" || item.typeId == "Vehicle") << item.typeId;
    }
    EXPECT_EQ(m_agent.handler->overlapCount(), 0);
}

}  // namespace
}  // namespace korvane::test
