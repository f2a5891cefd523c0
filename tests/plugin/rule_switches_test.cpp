// Rule switches: the request built from the camera's lists and groups, and the switch
// read and write through the Camera SDK stand-in.

#include "plugin/rules/rule_switches.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/rule_test_support.h"

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

using namespace test;
using Codes = std::vector<int32_t>;

// Groups as a camera would fill them into the caller's storage.
class Groups
{
public:
    explicit Groups(std::vector<Codes> groups) : m_codes(std::move(groups))
    {
        m_groups.resize(m_codes.size());
        for (size_t g = 0; g < m_codes.size(); ++g)
        {
            m_groups[g].typeCount = static_cast<int32_t>(m_codes[g].size());
            m_groups[g].types = m_codes[g].data();
        }
        m_list.groupCount = static_cast<int32_t>(m_groups.size());
        m_list.groups = m_groups.data();
    }

    RuleCombinationList& list() { return m_list; }
    std::vector<RuleCombination>& groups() { return m_groups; }

private:
    std::vector<Codes> m_codes;
    std::vector<RuleCombination> m_groups;
    RuleCombinationList m_list{};
};

std::unique_ptr<RuleSwitchList> switchList(const Codes& on, const Codes& off)
{
    auto list = std::make_unique<RuleSwitchList>();
    list->enabledCount = static_cast<int32_t>(on.size());
    std::copy(on.begin(), on.end(), list->enabledTypes);
    list->disabledCount = static_cast<int32_t>(off.size());
    std::copy(off.begin(), off.end(), list->disabledTypes);
    return list;
}

Codes enabledOf(const RuleSwitchList& list)
{
    return Codes(list.enabledTypes, list.enabledTypes + list.enabledCount);
}

Codes disabledOf(const RuleSwitchList& list)
{
    return Codes(list.disabledTypes, list.disabledTypes + list.disabledCount);
}

struct Request
{
    Codes on;
    Codes off;
};

Request request(const Codes& on, const Codes& off, bool switchOn, int32_t type,
                const std::vector<Codes>& groups)
{
    Groups storage(groups);
    auto out = std::make_unique<RuleSwitchList>();
    buildSwitchRequest(*switchList(on, off), switchOn, type, storage.list(), out.get());
    return {enabledOf(*out), disabledOf(*out)};
}

const std::vector<Codes> kGroups = {{100, 102}, {101}};

TEST(RuleSwitchesTest, SwitchingOnTurnsOffWhatCannotRunBesideIt)
{
    const Request r = request({100, 102}, {101, 103}, true, 101, kGroups);
    EXPECT_EQ(r.on, (Codes{101}));
    EXPECT_EQ(r.off, (Codes{100, 102, 103}));

    const Request keep = request({102}, {101, 103, 100}, true, 100, kGroups);
    EXPECT_EQ(keep.on, (Codes{100, 102}));
    EXPECT_EQ(keep.off, (Codes{101, 103}));
}

TEST(RuleSwitchesTest, SwitchingOffAppendsTheTypeOnlyWhenItWasOn)
{
    Request r = request({100, 102}, {101, 103}, false, 103, kGroups);
    EXPECT_EQ(r.on, (Codes{100, 102}));
    EXPECT_EQ(r.off, (Codes{101, 103}));

    r = request({100}, {}, false, 100, kGroups);
    EXPECT_EQ(r.on, Codes{});
    EXPECT_EQ(r.off, (Codes{100}));
}

TEST(RuleSwitchesTest, TypeInNoGroupIsDroppedFromBothLists)
{
    const Request r = request({100, 102}, {101, 103}, true, 103, kGroups);
    EXPECT_EQ(r.on, Codes{});
    EXPECT_EQ(r.off, (Codes{101}));
}

TEST(RuleSwitchesTest, AlreadyOnTypeLeadsAndIsNotAlsoSwitchedOff)
{
    Request r = request({102, 100}, {101, 103}, true, 100, kGroups);
    EXPECT_EQ(r.on, (Codes{100, 102}));
    EXPECT_EQ(r.off, (Codes{101, 103}));

    r = request({100, 102, 100}, {}, true, 100, {{100}});
    EXPECT_EQ(r.on, (Codes{100}));
    EXPECT_EQ(r.off, (Codes{102}));
}

TEST(RuleSwitchesTest, CountsAreCutToTheStorageAndFullListsDropCodes)
{
    // A switched-on count beyond the 512 slots must not take codes from the off list.
    Codes many(kOstrelSwitchListCapacity);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<int32_t>(i + 1000);
    auto current = switchList(many, {});
    current->enabledCount = 600;
    current->disabledCount = 7;  // the first seven codes of the off list are zero
    Groups groups(std::vector<Codes>{{100}});
    auto out = std::make_unique<RuleSwitchList>();
    buildSwitchRequest(*current, false, 100, groups.list(), out.get());
    EXPECT_EQ(enabledOf(*out), many);
    EXPECT_EQ(disabledOf(*out), Codes(7, 0));

    current->enabledCount = -5;
    current->disabledCount = -1;
    buildSwitchRequest(*current, false, 100, groups.list(), out.get());
    EXPECT_EQ(0, out->enabledCount);
    EXPECT_EQ(0, out->disabledCount);

    // 512 copies of a type that runs beside the new one, plus the new one: 512 fit.
    current = switchList(Codes(kOstrelSwitchListCapacity, 102), many);
    Groups pair(std::vector<Codes>{{100, 102}});
    buildSwitchRequest(*current, true, 100, pair.list(), out.get());
    EXPECT_EQ(kOstrelSwitchListCapacity, out->enabledCount);
    EXPECT_EQ(100, out->enabledTypes[0]);
    EXPECT_EQ(102, out->enabledTypes[kOstrelSwitchListCapacity - 1]);
    EXPECT_EQ(disabledOf(*out), many);
}

TEST(RuleSwitchesTest, GroupCountsBeyondTheStorageAreNotRead)
{
    // Exactly 32 groups of 32 codes exist; the camera claims more of both.
    std::vector<Codes> full(kOstrelCombinationCapacity, Codes(kOstrelCombinationTypeCapacity, 7));
    Groups groups(full);
    groups.list().groupCount = 1000;
    for (RuleCombination& group : groups.groups())
        group.typeCount = 1000;
    auto out = std::make_unique<RuleSwitchList>();
    buildSwitchRequest(*switchList({}, {101}), true, 100, groups.list(), out.get());
    EXPECT_EQ(enabledOf(*out), Codes{});
    EXPECT_EQ(disabledOf(*out), (Codes{101}));

    RuleCombinationList none{};
    none.groupCount = 5;  // no storage at all
    buildSwitchRequest(*switchList({}, {}), true, 100, none, out.get());
    EXPECT_EQ(0, out->enabledCount);
}

class RuleSwitchesCameraTest : public RuleSyncTest
{
protected:
    static control::ChannelConfig switchedChannel()
    {
        control::ChannelConfig channel;  // no rule capability: switches need none
        channel.enabledTypes = {100, 102};
        channel.disabledTypes = {101, 103};
        channel.combinations = {{100, 102}, {101}};
        return channel;
    }
};

TEST_F(RuleSwitchesCameraTest, ReadReportsEachKindFromTheSwitchedOnList)
{
    const RuleSession session = openCamera(1, switchedChannel());
    const auto response = nx::sdk::makePtr<nx::sdk::SettingsResponse>();
    for (const RuleKind kind : kRuleTypeOrder)
        readRuleSwitch(session, kind, response.get());
    EXPECT_EQ(responseValues(*response), (Settings{{"CrossLineEnable", "true"},
                                                   {"EnterAreaEnable", "true"},
                                                   {"IntrusionEnable", "false"},
                                                   {"LeaveAreaEnable", "false"}}));
}

TEST_F(RuleSwitchesCameraTest, UnreadableSwitchIsLeftOut)
{
    const RuleSession session = openCamera(1, switchedChannel());
    control::failOperation(control::Operation::kGetSmartRuleSwitches, 1);
    const auto response = nx::sdk::makePtr<nx::sdk::SettingsResponse>();
    readRuleSwitch(session, RuleKind::kLineCross, response.get());
    EXPECT_EQ(responseValues(*response), Settings{});
}

TEST_F(RuleSwitchesCameraTest, ApplyWritesTheRequestToTheCamera)
{
    const RuleSession session = openCamera(1, switchedChannel());
    applyRuleSwitch(session, true, RuleKind::kIntrusion);
    EXPECT_EQ(1, control::callCount(control::Operation::kSetSmartRuleSwitches));
    const RuleSwitchList written = control::lastWrittenSwitches();
    EXPECT_EQ(enabledOf(written), (Codes{101}));
    EXPECT_EQ(disabledOf(written), (Codes{100, 102, 103}));
    EXPECT_EQ(cameraState(1).enabledTypes, (Codes{101}));

    // Switching off never asks for the groups.
    applyRuleSwitch(session, false, RuleKind::kIntrusion);
    EXPECT_EQ(1, control::callCount(control::Operation::kGetSmartRuleCombinations));
    EXPECT_EQ(cameraState(1).enabledTypes, Codes{});
    EXPECT_EQ(cameraState(1).disabledTypes, (Codes{100, 102, 103, 101}));
}

TEST_F(RuleSwitchesCameraTest, UnreadableListsOrGroupsWriteNothing)
{
    const RuleSession session = openCamera(1, switchedChannel());
    const control::ChannelConfig before = cameraState(1);
    using control::Operation;
    // A request built without the camera's lists would switch off what it does not name.
    control::failOperation(Operation::kGetSmartRuleSwitches, 1);
    applyRuleSwitch(session, true, RuleKind::kEnterArea);
    control::failOperation(Operation::kGetSmartRuleCombinations, 1);
    applyRuleSwitch(session, true, RuleKind::kLineCross);
    EXPECT_EQ(0, control::callCount(Operation::kSetSmartRuleSwitches));
    EXPECT_EQ(cameraState(1).enabledTypes, before.enabledTypes);
    EXPECT_EQ(cameraState(1).disabledTypes, before.disabledTypes);
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
