// Drives the Camera SDK stand-in through its OSTREL_ operations as the plugin does.

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/ostrel_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{

namespace control = ostrel::control;
using control::Operation;

OstrelLoginRecord loginRecord(const std::string& address, int32_t port, const std::string& user,
                              const std::string& password)
{
    OstrelLoginRecord record{};
    std::strncpy(record.address, address.c_str(), sizeof record.address - 1);
    record.port = port;
    std::strncpy(record.loginName, user.c_str(), sizeof record.loginName - 1);
    std::strncpy(record.password, password.c_str(), sizeof record.password - 1);
    return record;
}

void* login(const std::string& address, int32_t port, const std::string& user,
            const std::string& password)
{
    OstrelLoginRecord record = loginRecord(address, port, user, password);
    OstrelLoginResult result{};
    return OSTREL_Login(&record, &result);
}

ObjectFilter filter(int32_t type, uint8_t marker)
{
    ObjectFilter f{};
    f.enabled = 1;
    f.objectType = type;
    std::memset(f.firstParameters, marker, sizeof f.firstParameters);
    std::memset(f.secondParameters, marker + 1, sizeof f.secondParameters);
    return f;
}

class OstrelSdkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        control::reset();
        control::CameraConfig config;
        config.address = "10.1.2.3";
        config.port = 8000;
        config.loginName = "admin";
        config.password = "secret";
        config.channelCount = 1;
        config.channels[0] = control::ChannelConfig{};
        m_camera = control::addCamera(config);
    }
    void TearDown() override { control::reset(); }

    void* loginOk() { return login("10.1.2.3", 8000, "admin", "secret"); }

    control::CameraId m_camera = 0;
};

TEST_F(OstrelSdkTest, LoginNeedsKnownAddressPortAndCredentials)
{
    EXPECT_EQ(nullptr, login("10.1.2.4", 8000, "admin", "secret"));
    EXPECT_EQ(control::kErrorUnknownDevice, OSTREL_GetLastError());
    EXPECT_EQ(nullptr, login("10.1.2.3", 8001, "admin", "secret"));
    EXPECT_EQ(control::kErrorUnknownDevice, OSTREL_GetLastError());
    EXPECT_EQ(nullptr, login("10.1.2.3", 8000, "admin", "wrong"));
    EXPECT_EQ(control::kErrorBadCredentials, OSTREL_GetLastError());
    EXPECT_EQ(nullptr, login("10.1.2.3", 8000, "Admin", "secret"));
    EXPECT_EQ(nullptr, OSTREL_Login(nullptr, nullptr));
    EXPECT_EQ(control::kErrorInvalidArgument, OSTREL_GetLastError());
    EXPECT_TRUE(control::liveSessions().empty());

    void* handle = loginOk();
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(0, OSTREL_GetLastError());
    EXPECT_EQ(6, control::callCount(Operation::kLogin));
    EXPECT_STREQ("secret", control::lastLoginRecord().password);
    ASSERT_EQ(1u, control::liveSessions().size());
    EXPECT_EQ(handle, control::liveSessions()[0].handle);
    EXPECT_EQ(m_camera, control::liveSessions()[0].camera);
}

TEST_F(OstrelSdkTest, InjectedFailuresCountDownAndSetTheLastError)
{
    control::failOperation(Operation::kLogin, 2, 77);
    EXPECT_EQ(nullptr, loginOk());
    EXPECT_EQ(77, OSTREL_GetLastError());
    EXPECT_EQ(nullptr, loginOk());
    void* handle = loginOk();
    ASSERT_NE(nullptr, handle);

    control::failOperation(Operation::kGetSmartRuleSwitches, 1);
    RuleSwitchList list{};
    EXPECT_EQ(0, OSTREL_GetSmartRuleSwitches(handle, 0, &list));
    EXPECT_EQ(control::kErrorInjected, OSTREL_GetLastError());
    EXPECT_EQ(1, OSTREL_GetSmartRuleSwitches(handle, 0, &list));
    EXPECT_EQ(2, control::callCount(Operation::kGetSmartRuleSwitches));

    control::failOperation(Operation::kLogout, 1);
    EXPECT_EQ(0, OSTREL_Logout(handle));
    EXPECT_EQ(1u, control::liveSessions().size()) << "a failed logout keeps the session";
    EXPECT_EQ(1, OSTREL_Logout(handle));
    EXPECT_EQ(0, OSTREL_Logout(handle));
    EXPECT_EQ(control::kErrorInvalidHandle, OSTREL_GetLastError());

    control::failInit(1);
    EXPECT_EQ(0, OSTREL_Init());
    EXPECT_EQ(control::kErrorInitFailed, OSTREL_GetLastError());
    EXPECT_NE(0, OSTREL_Init());
    EXPECT_EQ(2, control::initCallCount());
}

TEST_F(OstrelSdkTest, LastErrorBelongsToTheCallingThread)
{
    EXPECT_EQ(nullptr, login("1.1.1.1", 1, "", ""));
    int32_t otherThread = -1;
    std::thread([&] { otherThread = OSTREL_GetLastError(); }).join();
    EXPECT_EQ(0, otherThread);
    EXPECT_EQ(control::kErrorUnknownDevice, OSTREL_GetLastError());
}

TEST_F(OstrelSdkTest, FreedHandleIsReusedByTheNextLogin)
{
    void* first = loginOk();
    void* second = loginOk();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    ASSERT_EQ(1, OSTREL_Logout(first));
    EXPECT_EQ(first, loginOk());
    EXPECT_EQ(0, OSTREL_QueryChannelList(reinterpret_cast<void*>(999), nullptr, nullptr));
    EXPECT_EQ(control::kErrorInvalidHandle, OSTREL_GetLastError());
}

TEST_F(OstrelSdkTest, ChannelListAndCapabilityBlock)
{
    control::ChannelConfig channel;
    channel.intrusionCapability = 11;
    channel.lineCrossCapability = 22;
    channel.enterAreaCapability = 33;
    channel.leaveAreaCapability = 44;
    control::CameraConfig config;
    config.address = "nvr";
    config.port = 80;
    config.channelCount = 4;
    config.channels[3] = channel;
    control::addCamera(config);
    void* handle = login("nvr", 80, "", "");
    ASSERT_NE(nullptr, handle);

    std::vector<OstrelChannelRecord> channels(kOstrelChannelCapacity);
    int32_t count = kOstrelChannelCapacity;
    ASSERT_EQ(1, OSTREL_QueryChannelList(handle, &count, channels.data()));
    EXPECT_EQ(4, count);

    std::vector<uint8_t> block(kOstrelConfigBufferSize, 0xAB);
    int32_t bytes = 0;
    ASSERT_NE(0, OSTREL_GetDeviceConfig(handle, 3, kOstrelConfigSmartCapabilities, block.data(),
                                        kOstrelConfigBufferSize, &bytes));
    EXPECT_EQ(kOstrelConfigBufferSize, bytes);
    auto at = [&](int offset)
    {
        uint32_t value = 0;
        std::memcpy(&value, block.data() + offset, sizeof value);
        return value;
    };
    EXPECT_EQ(11u, at(kOstrelIntrusionCapabilityOffset));
    EXPECT_EQ(22u, at(kOstrelLineCrossCapabilityOffset));
    EXPECT_EQ(33u, at(kOstrelEnterAreaCapabilityOffset));
    EXPECT_EQ(44u, at(kOstrelLeaveAreaCapabilityOffset));
    EXPECT_EQ(0u, at(0)) << "the rest of the block is zeroed";
    EXPECT_EQ(3, control::lastChannel());

    EXPECT_EQ(0, OSTREL_GetDeviceConfig(handle, 2, kOstrelConfigSmartCapabilities, block.data(),
                                        kOstrelConfigBufferSize, &bytes));
    EXPECT_EQ(control::kErrorNoSuchChannel, OSTREL_GetLastError());
    EXPECT_EQ(0,
              OSTREL_GetDeviceConfig(handle, 3, 4, block.data(), kOstrelConfigBufferSize, &bytes));
    EXPECT_EQ(control::kErrorUnknownCommand, OSTREL_GetLastError());
    EXPECT_EQ(0, OSTREL_GetDeviceConfig(handle, 3, kOstrelConfigSmartCapabilities, block.data(),
                                        100, &bytes));
    EXPECT_EQ(control::kErrorBufferTooSmall, OSTREL_GetLastError());
}

TEST_F(OstrelSdkTest, SubscribeAndUnsubscribeRecordWhatWasSent)
{
    void* handle = loginOk();
    OstrelSubscriptionRequest request{};
    request.alarmTypes = kOstrelSubscribeAllAlarms;
    request.structuredTypes = kOstrelSubscribeAllStructured;
    OstrelSubscriptionResult result{};
    ASSERT_EQ(1, OSTREL_Subscribe(handle, &request, &result));
    EXPECT_NE(0u, result.subscriptionId);
    EXPECT_EQ(-1, control::lastSubscriptionRequest().alarmTypes);
    EXPECT_EQ(0xFFFF, control::lastSubscriptionRequest().structuredTypes);
    EXPECT_TRUE(control::liveSessions()[0].subscribed);

    EXPECT_EQ(0, OSTREL_Unsubscribe(handle, result.subscriptionId + 1));
    EXPECT_TRUE(control::liveSessions()[0].subscribed);
    EXPECT_EQ(1, OSTREL_Unsubscribe(handle, result.subscriptionId));
    EXPECT_EQ(result.subscriptionId, control::lastUnsubscribeId());
    EXPECT_FALSE(control::liveSessions()[0].subscribed);
}

// Caller-side rule set as the plugin prepares it: zeroed, three filters per rule.
template <typename RuleSet>
struct PreparedRules
{
    PreparedRules()
    {
        for (int i = 0; i < kOstrelRuleSlots; ++i)
        {
            set.rules[i].filterCount = kOstrelFilterCapacity;
            set.rules[i].filters = storage[i];
        }
    }
    RuleSet set{};
    ObjectFilter storage[kOstrelRuleSlots][kOstrelFilterCapacity + 1] = {};  // +1: guard
};

TEST_F(OstrelSdkTest, LineRulesReadRespectsCountsAndFilterStorage)
{
    control::ChannelConfig channel;
    channel.lineCrossRules.ruleCount = 6;  // more than the record holds
    for (int i = 0; i < 6; ++i)
    {
        control::RuleEntry<LineRule> entry;
        entry.rule.ruleIndex = i;
        entry.rule.enabled = 1;
        entry.rule.sensitivity = 50 + i;
        entry.rule.startPoint.x = 5000;
        entry.rule.filters = reinterpret_cast<ObjectFilter*>(0x1);  // ignored
        for (int k = 0; k < 5; ++k)  // more filters than the caller has room for
            entry.filters.push_back(filter(k % 3, static_cast<uint8_t>(10 * i + k)));
        channel.lineCrossRules.rules.push_back(entry);
    }
    channel.lineCrossRules.rules[1].filters.resize(1);
    channel.lineCrossRules.rules[2].reportedFilterCount = 9;
    control::setChannel(m_camera, 0, channel);
    void* handle = loginOk();

    PreparedRules<LineRuleSet> rules;
    ASSERT_NE(0, OSTREL_GetLineCrossRules(handle, 0, &rules.set));
    EXPECT_EQ(6, rules.set.ruleCount);
    EXPECT_EQ(3, rules.set.rules[0].filterCount);
    EXPECT_EQ(1, rules.set.rules[1].filterCount);
    EXPECT_EQ(9, rules.set.rules[2].filterCount) << "reported as configured";
    for (int i = 0; i < kOstrelRuleSlots; ++i)
    {
        EXPECT_EQ(rules.storage[i], rules.set.rules[i].filters) << "caller's pointer kept";
        EXPECT_EQ(50u + i, rules.set.rules[i].sensitivity);
        EXPECT_EQ(5000u, rules.set.rules[i].startPoint.x);
        EXPECT_EQ(0, rules.storage[i][kOstrelFilterCapacity].objectType) << "guard untouched";
        EXPECT_EQ(0, rules.storage[i][kOstrelFilterCapacity].enabled);
    }
    EXPECT_EQ(10, rules.storage[1][0].firstParameters[0]);
    EXPECT_EQ(0, rules.storage[1][1].enabled) << "only one filter for rule 1";
    EXPECT_EQ(22, rules.storage[2][2].firstParameters[7]);
    EXPECT_EQ(23, rules.storage[2][2].secondParameters[0]);

    // A caller that declares a capacity of 1 gets one filter.
    PreparedRules<LineRuleSet> small;
    small.set.rules[0].filterCount = 1;
    small.set.rules[3].filters = nullptr;
    ASSERT_NE(0, OSTREL_GetLineCrossRules(handle, 0, &small.set));
    EXPECT_EQ(1, small.set.rules[0].filterCount);
    EXPECT_EQ(0, small.storage[0][1].enabled);
    EXPECT_EQ(0, small.set.rules[3].filterCount);
}

TEST_F(OstrelSdkTest, FewerRulesThanSlotsLeaveTheOtherSlotsAlone)
{
    control::ChannelConfig channel;
    channel.intrusionRules.ruleCount = 2;
    channel.intrusionRules.rules.resize(3);
    channel.intrusionRules.rules[2].rule.sensitivity = 99;
    control::setChannel(m_camera, 0, channel);
    void* handle = loginOk();

    PreparedRules<AreaRuleSet> rules;
    ASSERT_NE(0, OSTREL_GetIntrusionRules(handle, 0, &rules.set));
    EXPECT_EQ(2, rules.set.ruleCount);
    EXPECT_EQ(0u, rules.set.rules[2].sensitivity);
    EXPECT_EQ(3, rules.set.rules[2].filterCount) << "slot 2 is not written";
    EXPECT_EQ(0, rules.set.rules[0].filterCount) << "slot 0 has no filters";
}

TEST_F(OstrelSdkTest, AreaRulesWrittenAreStoredAndReadBack)
{
    void* handle = loginOk();
    PreparedRules<AreaRuleSet> written;
    written.set.ruleCount = 4;
    for (int i = 0; i < kOstrelRuleSlots; ++i)
    {
        AreaRule& rule = written.set.rules[i];
        rule.ruleIndex = i;
        rule.timeThreshold = 3 + i;
        rule.pointCount = 4;
        rule.points[3].y = 10000;
        rule.reserved0[0] = 0x5A;
        rule.filterCount = i == 0 ? 2 : 7;  // 7 claims more than the camera takes
        for (int k = 0; k < kOstrelFilterCapacity; ++k)
            written.storage[i][k] = filter(k, static_cast<uint8_t>(i));
    }
    ASSERT_NE(0, OSTREL_SetEnterAreaRules(handle, 0, &written.set));

    const control::AreaRules sent = control::lastWrittenAreaRules(control::RuleSetKind::kEnterArea);
    EXPECT_EQ(4, sent.ruleCount);
    ASSERT_EQ(4u, sent.rules.size());
    EXPECT_EQ(2u, sent.rules[0].filters.size());
    EXPECT_EQ(3u, sent.rules[1].filters.size());
    EXPECT_EQ(7, sent.rules[1].rule.filterCount) << "the count as the caller sent it";
    EXPECT_EQ(nullptr, sent.rules[1].rule.filters);
    EXPECT_TRUE(control::lastWrittenAreaRules(control::RuleSetKind::kIntrusion).rules.empty());

    PreparedRules<AreaRuleSet> read;
    ASSERT_NE(0, OSTREL_GetEnterAreaRules(handle, 0, &read.set));
    EXPECT_EQ(4, read.set.ruleCount);
    EXPECT_EQ(2, read.set.rules[0].filterCount);
    EXPECT_EQ(3, read.set.rules[3].filterCount);
    EXPECT_EQ(6u, read.set.rules[3].timeThreshold);
    EXPECT_EQ(10000u, read.set.rules[3].points[3].y);
    EXPECT_EQ(0x5A, read.set.rules[3].reserved0[0]);
    EXPECT_EQ(2, read.storage[3][2].objectType);
    EXPECT_EQ(3, read.storage[3][2].firstParameters[0]);

    PreparedRules<AreaRuleSet> other;
    ASSERT_NE(0, OSTREL_GetLeaveAreaRules(handle, 0, &other.set));
    EXPECT_EQ(0, other.set.ruleCount) << "each kind has its own store";
    EXPECT_EQ(0, OSTREL_SetLeaveAreaRules(handle, 0, nullptr));
    EXPECT_EQ(control::kErrorInvalidArgument, OSTREL_GetLastError());
}

TEST_F(OstrelSdkTest, LineRulesAboveFourAreCutOnWrite)
{
    void* handle = loginOk();
    PreparedRules<LineRuleSet> written;
    written.set.ruleCount = 9;
    written.set.rules[3].direction = 2;
    ASSERT_NE(0, OSTREL_SetLineCrossRules(handle, 0, &written.set));
    const control::LineRules sent = control::lastWrittenLineRules();
    EXPECT_EQ(9, sent.ruleCount);
    ASSERT_EQ(4u, sent.rules.size());
    EXPECT_EQ(2, sent.rules[3].rule.direction);
    EXPECT_EQ(9, control::channelState(m_camera, 0).lineCrossRules.ruleCount);
}

TEST_F(OstrelSdkTest, SwitchListsRoundTrip)
{
    control::ChannelConfig channel;
    channel.enabledTypes = {100, 102};
    channel.disabledTypes = {101, 103};
    control::setChannel(m_camera, 0, channel);
    void* handle = loginOk();

    RuleSwitchList list{};
    ASSERT_EQ(1, OSTREL_GetSmartRuleSwitches(handle, 0, &list));
    EXPECT_EQ(2, list.enabledCount);
    EXPECT_EQ(102, list.enabledTypes[1]);
    EXPECT_EQ(2, list.disabledCount);
    EXPECT_EQ(103, list.disabledTypes[1]);

    RuleSwitchList request{};
    request.enabledCount = 1;
    request.enabledTypes[0] = 101;
    request.disabledCount = 3;
    request.disabledTypes[0] = 100;
    request.disabledTypes[1] = 102;
    request.disabledTypes[2] = 103;
    ASSERT_EQ(1, OSTREL_SetSmartRuleSwitches(handle, 0, &request));
    const RuleSwitchList sent = control::lastWrittenSwitches();
    EXPECT_EQ(0, std::memcmp(&request, &sent, sizeof request));
    const control::ChannelConfig state = control::channelState(m_camera, 0);
    EXPECT_EQ(std::vector<int32_t>({101}), state.enabledTypes);
    EXPECT_EQ(std::vector<int32_t>({100, 102, 103}), state.disabledTypes);

    RuleSwitchList huge{};
    huge.enabledCount = 100000;  // clamped to the list's slots
    ASSERT_EQ(1, OSTREL_SetSmartRuleSwitches(handle, 0, &huge));
    RuleSwitchList back{};
    ASSERT_EQ(1, OSTREL_GetSmartRuleSwitches(handle, 0, &back));
    EXPECT_EQ(kOstrelSwitchListCapacity, back.enabledCount);
}

TEST_F(OstrelSdkTest, CombinationsFillCallerStorageUpToItsCapacity)
{
    control::ChannelConfig channel;
    channel.combinations = {{100, 102}, {101}, {103, 100, 101}};
    control::setChannel(m_camera, 0, channel);
    void* handle = loginOk();

    std::vector<RuleCombination> groups(kOstrelCombinationCapacity);
    std::vector<std::vector<int32_t>> types(kOstrelCombinationCapacity,
                                            std::vector<int32_t>(kOstrelCombinationTypeCapacity));
    for (int g = 0; g < kOstrelCombinationCapacity; ++g)
    {
        groups[g].typeCount = kOstrelCombinationTypeCapacity;
        groups[g].types = types[g].data();
    }
    groups[2].typeCount = 2;  // room for two codes only
    RuleCombinationList list{};
    list.groupCount = kOstrelCombinationCapacity;
    list.groups = groups.data();
    ASSERT_EQ(1, OSTREL_GetSmartRuleCombinations(handle, 0, &list));
    EXPECT_EQ(3, list.groupCount);
    EXPECT_EQ(2, groups[0].typeCount);
    EXPECT_EQ(102, types[0][1]);
    EXPECT_EQ(1, groups[1].typeCount);
    EXPECT_EQ(2, groups[2].typeCount);
    EXPECT_EQ(0, types[2][2]);
    EXPECT_EQ(kOstrelCombinationTypeCapacity, groups[3].typeCount) << "unused group untouched";

    list.groupCount = 1;
    ASSERT_EQ(1, OSTREL_GetSmartRuleCombinations(handle, 0, &list));
    EXPECT_EQ(1, list.groupCount);
}

TEST_F(OstrelSdkTest, RemovedCameraFailsItsSessionsButLogoutWorks)
{
    void* handle = loginOk();
    control::removeCamera(m_camera);
    RuleSwitchList list{};
    EXPECT_EQ(0, OSTREL_GetSmartRuleSwitches(handle, 0, &list));
    EXPECT_EQ(control::kErrorUnknownDevice, OSTREL_GetLastError());
    EXPECT_EQ(1, OSTREL_Logout(handle));
}

}  // namespace
