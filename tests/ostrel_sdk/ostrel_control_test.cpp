// Notification delivery of the Camera SDK stand-in, driven through its control interface.

#include "ostrel_sdk/ostrel_control.h"
#include "camera_sdk/ostrel_sdk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

namespace control = ostrel::control;

// What one session's callbacks saw; installed as the callbacks' user data.
struct Recorder
{
    struct Alarm
    {
        void* handle;
        int32_t code;
        int64_t time;
        std::thread::id thread;
    };

    std::mutex mutex;
    std::vector<Alarm> alarms;
    std::vector<const OstrelStructuredRecord*> recordPointers;
    std::vector<std::string> summaries;  // one line per structured batch
    std::atomic<int> nullAlarms{0};

    // Optional gate: the alarm callback blocks until it opens.
    std::atomic<bool> gated{false};
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    std::mutex gateMutex;
    std::condition_variable gateChanged;
    bool gateOpen = false;

    // Optional: the alarm callback logs its own session out.
    std::atomic<bool> logoutInside{false};
    std::atomic<int32_t> insideLogoutResult{-1};

    void openGate()
    {
        std::lock_guard<std::mutex> lock(gateMutex);
        gateOpen = true;
        gateChanged.notify_all();
    }

    size_t alarmCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return alarms.size();
    }
};

void onAlarm(void* handle, const OstrelAlarmRecord* alarm, void* userData)
{
    Recorder& r = *static_cast<Recorder*>(userData);
    if (!alarm)
    {
        ++r.nullAlarms;
        return;
    }
    r.entered = true;
    if (r.gated)
    {
        std::unique_lock<std::mutex> lock(r.gateMutex);
        r.gateChanged.wait(lock, [&] { return r.gateOpen; });
    }
    if (r.logoutInside)
        r.insideLogoutResult = OSTREL_Logout(handle);
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.alarms.push_back(
            {handle, alarm->alarmType, alarm->alarmTime, std::this_thread::get_id()});
    }
    r.finished = true;
}

void onStructured(void*, void*, const OstrelStructuredRecord* record, void* userData)
{
    Recorder& r = *static_cast<Recorder*>(userData);
    std::string line;
    if (record && record->faces)
        line += "face " + std::to_string(record->faces[0].hatColor) + ";";
    if (record && record->persons)
        line += "person " + std::to_string(record->persons[record->personCount - 1].bagFlag) + ";";
    if (record && record->vehicles)
    {
        const OstrelVehicleRecord& v = record->vehicles[0];
        line += "vehicle " + std::to_string(v.vehicleType) + " " + std::to_string(v.speed) + " " +
                std::string(v.plateNumber, strnlen(v.plateNumber, sizeof v.plateNumber)) + " " +
                std::to_string(v.plateType) + ";";
    }
    if (record)
        line += std::to_string(record->faceCount) + "/" + std::to_string(record->personCount) +
                "/" + std::to_string(record->vehicleCount);
    std::lock_guard<std::mutex> lock(r.mutex);
    r.recordPointers.push_back(record);
    r.summaries.push_back(line);
}

class OstrelControlTest : public ::testing::Test
{
protected:
    void SetUp() override { control::reset(); }
    void TearDown() override { control::reset(); }

    control::CameraId addCamera(const std::string& address)
    {
        control::CameraConfig config;
        config.address = address;
        config.port = 80;
        config.channels[0] = control::ChannelConfig{};
        return control::addCamera(config);
    }

    // Logs in to `address` and installs both callbacks; subscribes when asked.
    void* open(const std::string& address, Recorder* recorder, bool subscribe = true)
    {
        OstrelLoginRecord login{};
        std::strncpy(login.address, address.c_str(), sizeof login.address - 1);
        login.port = 80;
        OstrelLoginResult result{};
        void* handle = OSTREL_Login(&login, &result);
        EXPECT_NE(nullptr, handle);
        EXPECT_EQ(1, OSTREL_SetAlarmCallback(handle, onAlarm, recorder));
        EXPECT_EQ(1, OSTREL_SetStructDataCallback(handle, onStructured, recorder));
        if (subscribe)
        {
            OstrelSubscriptionRequest request{};
            OstrelSubscriptionResult subscription{};
            EXPECT_EQ(1, OSTREL_Subscribe(handle, &request, &subscription));
            m_subscriptionId = subscription.subscriptionId;
        }
        return handle;
    }

    uint32_t m_subscriptionId = 0;
};

TEST_F(OstrelControlTest, AsyncAlarmReachesOnlySubscribedSessionsOfItsCamera)
{
    const control::CameraId a = addCamera("cam-a");
    const control::CameraId b = addCamera("cam-b");
    Recorder subscribed, notSubscribed, otherCamera;
    void* ha = open("cam-a", &subscribed);
    open("cam-a", &notSubscribed, /*subscribe*/ false);
    open("cam-b", &otherCamera);

    const uint64_t first = control::raiseAlarm(a, 1, 1700000000);
    const uint64_t second = control::raiseAlarm(a, 2, 1700000005);
    EXPECT_LT(first, second);
    ASSERT_TRUE(control::waitForDelivery(a, second));
    ASSERT_EQ(2u, subscribed.alarmCount());
    EXPECT_EQ(ha, subscribed.alarms[0].handle);
    EXPECT_EQ(1, subscribed.alarms[0].code);
    EXPECT_EQ(1700000005, subscribed.alarms[1].time);
    EXPECT_NE(std::this_thread::get_id(), subscribed.alarms[0].thread);
    EXPECT_EQ(0u, notSubscribed.alarmCount());
    ASSERT_TRUE(control::waitForAllDeliveries(b));
    EXPECT_EQ(0u, otherCamera.alarmCount());
}

TEST_F(OstrelControlTest, StructuredBatchCarriesTheCodes)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    open("cam-a", &recorder);

    control::StructuredBatch batch;
    batch.faces.resize(2);
    batch.faces[0].hatColor = 7;
    batch.persons.resize(3);
    batch.persons[2].bagFlag = 4;
    control::VehicleCodes vehicle;
    vehicle.vehicleType = 5;
    vehicle.speed = 72.5f;
    vehicle.plateNumber = std::string(80, 'Z');  // cut to 63 bytes plus NUL
    vehicle.plateType = 25;
    batch.vehicles.push_back(vehicle);
    control::deliverStructured(a, batch);
    control::deliverStructured(a, control::StructuredBatch{});
    ASSERT_TRUE(control::waitForAllDeliveries(a));

    std::lock_guard<std::mutex> lock(recorder.mutex);
    ASSERT_EQ(2u, recorder.summaries.size());
    EXPECT_EQ("face 7;person 4;vehicle 5 72.500000 " + std::string(63, 'Z') + " 25;2/3/1",
              recorder.summaries[0]);
    EXPECT_EQ("0/0/0", recorder.summaries[1]) << "empty lists come with null pointers";
}

TEST_F(OstrelControlTest, SlowCallbackOfOneCameraDoesNotDelayAnother)
{
    const control::CameraId a = addCamera("cam-a");
    const control::CameraId b = addCamera("cam-b");
    Recorder slow, fast;
    slow.gated = true;
    open("cam-a", &slow);
    open("cam-b", &fast);

    const uint64_t blocked = control::raiseAlarm(a, 1, 1);
    EXPECT_FALSE(control::waitForDelivery(a, blocked, 50)) << "still in the callback";
    EXPECT_TRUE(control::waitForDelivery(b, control::raiseAlarm(b, 5, 2), 5000));
    EXPECT_EQ(1u, fast.alarmCount());
    slow.openGate();
    EXPECT_TRUE(control::waitForDelivery(a, blocked));
    EXPECT_EQ(1u, slow.alarmCount());
}

TEST_F(OstrelControlTest, LogoutWaitsForCallbackInFlightAndStopsDeliveries)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    recorder.gated = true;
    void* handle = open("cam-a", &recorder);

    const uint64_t ticket = control::raiseAlarm(a, 1, 1);
    while (!recorder.entered)
        std::this_thread::yield();
    std::atomic<bool> loggedOut{false};
    std::atomic<bool> finishedBeforeReturn{false};
    std::thread closer(
        [&]
        {
            EXPECT_EQ(1, OSTREL_Logout(handle));
            finishedBeforeReturn = recorder.finished.load();
            loggedOut = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(loggedOut) << "logout returned while its callback was running";
    recorder.openGate();
    closer.join();
    EXPECT_TRUE(finishedBeforeReturn);
    ASSERT_TRUE(control::waitForDelivery(a, ticket));

    ASSERT_TRUE(control::waitForDelivery(a, control::raiseAlarm(a, 2, 2)));
    control::raiseAlarmNow(a, 3, 3);
    EXPECT_EQ(1u, recorder.alarmCount());
    EXPECT_TRUE(control::liveSessions().empty());
}

TEST_F(OstrelControlTest, LogoutFromInsideItsOwnCallbackReturns)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    recorder.logoutInside = true;
    open("cam-a", &recorder);
    ASSERT_TRUE(control::waitForDelivery(a, control::raiseAlarm(a, 1, 1)));
    EXPECT_EQ(1, recorder.insideLogoutResult);
    EXPECT_TRUE(control::liveSessions().empty());
}

TEST_F(OstrelControlTest, ReusedHandleDeliversToTheNewSessionOnly)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder oldSession, newSession;
    void* first = open("cam-a", &oldSession);
    ASSERT_EQ(1, OSTREL_Logout(first));
    void* second = open("cam-a", &newSession);
    EXPECT_EQ(first, second);
    ASSERT_TRUE(control::waitForDelivery(a, control::raiseAlarm(a, 1, 1)));
    EXPECT_EQ(0u, oldSession.alarmCount());
    EXPECT_EQ(1u, newSession.alarmCount());
}

TEST_F(OstrelControlTest, UnsubscribeStopsDeliveries)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    void* handle = open("cam-a", &recorder);
    ASSERT_EQ(1, OSTREL_Unsubscribe(handle, m_subscriptionId));
    ASSERT_TRUE(control::waitForDelivery(a, control::raiseAlarm(a, 1, 1)));
    control::deliverStructuredNow(a, control::StructuredBatch{});
    EXPECT_EQ(0u, recorder.alarmCount());
    EXPECT_TRUE(recorder.summaries.empty());
}

TEST_F(OstrelControlTest, SynchronousDeliveryFromTwoThreads)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    open("cam-a", &recorder);
    auto raise = [&]
    {
        for (int i = 0; i < 200; ++i)
            control::raiseAlarmNow(a, 1, i);
    };
    const std::thread::id self = std::this_thread::get_id();
    std::thread other(raise);
    raise();
    other.join();
    std::lock_guard<std::mutex> lock(recorder.mutex);
    ASSERT_EQ(400u, recorder.alarms.size());
    size_t onThisThread = 0;
    for (const Recorder::Alarm& alarm : recorder.alarms)
        onThisThread += alarm.thread == self;
    EXPECT_EQ(200u, onThisThread);
}

TEST_F(OstrelControlTest, RawRecordsPassUnchanged)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    open("cam-a", &recorder);

    control::raiseRawAlarmNow(a, nullptr);
    EXPECT_EQ(1, recorder.nullAlarms);
    OstrelAlarmRecord alarm{};
    alarm.alarmType = -12345;
    alarm.alarmTime = INT64_MIN;
    ASSERT_TRUE(control::waitForDelivery(a, control::raiseRawAlarm(a, alarm)));
    ASSERT_EQ(1u, recorder.alarmCount());
    EXPECT_EQ(-12345, recorder.alarms[0].code);
    EXPECT_EQ(INT64_MIN, recorder.alarms[0].time);

    OstrelStructuredRecord record{};
    record.faceCount = 1000;  // with a null array: passed on as is
    control::deliverRawStructuredNow(a, &record);
    control::deliverRawStructuredNow(a, nullptr);
    ASSERT_TRUE(control::waitForDelivery(a, control::deliverRawStructured(a, record)));
    std::lock_guard<std::mutex> lock(recorder.mutex);
    ASSERT_EQ(3u, recorder.summaries.size());
    EXPECT_EQ(&record, recorder.recordPointers[0]);
    EXPECT_EQ("1000/0/0", recorder.summaries[0]);
    EXPECT_EQ(nullptr, recorder.recordPointers[1]);
    EXPECT_EQ("1000/0/0", recorder.summaries[2]);
}

TEST_F(OstrelControlTest, RemovingACameraDropsItsQueueAndWakesWaiters)
{
    const control::CameraId a = addCamera("cam-a");
    Recorder recorder;
    recorder.gated = true;
    open("cam-a", &recorder);
    const uint64_t blocked = control::raiseAlarm(a, 1, 1);
    const uint64_t queued = control::raiseAlarm(a, 2, 2);
    while (!recorder.entered)
        std::this_thread::yield();
    std::atomic<bool> waitResult{true};
    std::thread waiter([&] { waitResult = control::waitForDelivery(a, queued); });
    std::thread remover([&] { control::removeCamera(a); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    recorder.openGate();
    remover.join();
    waiter.join();
    EXPECT_FALSE(waitResult);
    EXPECT_EQ(1u, recorder.alarmCount()) << "the queued alarm was dropped";
    EXPECT_FALSE(control::waitForDelivery(a, blocked, 10));
    EXPECT_EQ(0u, control::raiseAlarm(a, 3, 3));
}

TEST_F(OstrelControlTest, AnOutageAnswersAsAnAwayOrRestartedCamera)
{
    // Each case: a subscribed session, an alarm in its callback, one queued, the camera
    // taken away, one raised while away, the case's return, one raised after; then what
    // the session opened before, a new login and the logout meet.
    struct Case
    {
        const char* what;
        bool back;
        bool rebooted;
        std::vector<control::CameraFailure> failures;
        std::vector<int32_t> alarmCodes;  // of the four: the one in flight, the last if back
        int32_t oldSessionError;          // of OSTREL_QueryChannelList on the session opened before
        int32_t secondQueryError;         // of the call after it
        int32_t loginError;
        int32_t logoutResult;
    };
    const control::CameraFailure scheduled{control::Operation::kQueryChannelList, 1, 42};
    const Case cases[] = {
        {"away",
         false,
         false,
         {},
         {1},
         control::kErrorNoAnswer,
         control::kErrorNoAnswer,
         control::kErrorNoAnswer,
         0},
        {"away, a failure scheduled",
         false,
         false,
         {scheduled},
         {1},
         42,
         control::kErrorNoAnswer,
         control::kErrorNoAnswer,
         0},
        {"back after a network cut", true, false, {}, {1, 4}, 0, 0, 0, 1},
        {"back after a reboot",
         true,
         true,
         {},
         {1},
         control::kErrorInvalidHandle,
         control::kErrorInvalidHandle,
         0,
         1},
        {"back after a reboot, a failure scheduled",
         true,
         true,
         {scheduled},
         {1},
         42,
         control::kErrorInvalidHandle,
         0,
         1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        control::reset();
        control::CameraConfig config;
        config.address = "cam-a";
        config.failures = c.failures;
        config.channels[0] = control::ChannelConfig{};
        const control::CameraId a = control::addCamera(config);
        Recorder recorder;
        recorder.gated = true;
        void* handle = open("cam-a", &recorder);
        control::raiseAlarm(a, 1, 1);
        while (!recorder.entered)
            std::this_thread::yield();
        control::raiseAlarm(a, 2, 2);
        control::takeAway(a);
        control::raiseAlarm(a, 3, 3);
        control::raiseAlarmNow(a, 3, 3);
        if (c.back)
            control::bringBack(a, c.rebooted);
        control::raiseAlarm(a, 4, 4);
        recorder.openGate();
        ASSERT_TRUE(control::waitForAllDeliveries(a));
        std::vector<int32_t> codes;
        for (const Recorder::Alarm& alarm : recorder.alarms)
            codes.push_back(alarm.code);
        EXPECT_EQ(c.alarmCodes, codes);

        int32_t count = 256;
        std::vector<OstrelChannelRecord> channels(256);
        EXPECT_EQ(c.oldSessionError == 0, OSTREL_QueryChannelList(handle, &count, channels.data()));
        EXPECT_EQ(c.oldSessionError, OSTREL_GetLastError());
        EXPECT_EQ(c.secondQueryError == 0,
                  OSTREL_QueryChannelList(handle, &count, channels.data()));
        EXPECT_EQ(c.secondQueryError, OSTREL_GetLastError());
        OstrelLoginRecord login{};
        std::strncpy(login.address, "cam-a", sizeof login.address - 1);
        login.port = 80;
        OstrelLoginResult result{};
        void* second = OSTREL_Login(&login, &result);
        EXPECT_EQ(c.loginError, OSTREL_GetLastError());
        EXPECT_EQ(c.loginError == 0, second != nullptr);
        EXPECT_EQ(c.logoutResult, OSTREL_Logout(handle));
        EXPECT_EQ(c.logoutResult ? 0 : control::kErrorNoAnswer, OSTREL_GetLastError());
        EXPECT_EQ(second ? 1u : 0u, control::liveSessions().size()) << "the logout freed it";
        EXPECT_EQ(0, OSTREL_QueryChannelList(handle, &count, channels.data()));
        if (second)
        {
            EXPECT_EQ(1, OSTREL_Logout(second));
        }
    }
}

}  // namespace
