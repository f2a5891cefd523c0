// A fixture for the smart-rule sync tests: simulated cameras of the Camera SDK stand-in,
// sessions opened on them directly, rule records built in one line, and the settings a
// response carries as a plain map.
//
// Every test starts with a fresh stand-in and empty rule caches. Not thread-safe.

#pragma once

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <nx/sdk/helpers/settings_response.h>
#include <nx/sdk/ptr.h>
#include "ostrel_sdk/ostrel_control.h"

#include "plugin/rules/rule_cache.h"
#include "plugin/rules/rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample::test
{

namespace control = ostrel::control;

using Settings = std::map<std::string, std::string>;

// An object filter of `type` whose parameter blocks are filled with `marker` and marker + 1.
inline ObjectFilter makeFilter(int32_t type, bool enabled, uint8_t marker = 0)
{
    ObjectFilter filter{};
    filter.enabled = enabled ? 1 : 0;
    filter.objectType = type;
    std::memset(filter.firstParameters, marker, sizeof filter.firstParameters);
    std::memset(filter.secondParameters, marker + 1, sizeof filter.secondParameters);
    return filter;
}

inline RulePoint makePoint(uint32_t x, uint32_t y)
{
    RulePoint point{};
    point.x = x;
    point.y = y;
    return point;
}

// A stored line rule.
inline control::RuleEntry<LineRule> makeLineRule(int32_t enabled, uint32_t sensitivity,
                                                 int32_t direction, RulePoint start, RulePoint end,
                                                 int32_t priority,
                                                 std::vector<ObjectFilter> filters = {})
{
    control::RuleEntry<LineRule> entry;
    entry.rule.enabled = enabled;
    entry.rule.sensitivity = sensitivity;
    entry.rule.direction = direction;
    entry.rule.startPoint = start;
    entry.rule.endPoint = end;
    entry.rule.priority = priority;
    entry.filters = std::move(filters);
    return entry;
}

// A stored area rule with the given corners.
inline control::RuleEntry<AreaRule> makeAreaRule(int32_t enabled, uint32_t sensitivity,
                                                 const std::vector<RulePoint>& corners,
                                                 int32_t priority, uint32_t timeThreshold = 0,
                                                 std::vector<ObjectFilter> filters = {})
{
    control::RuleEntry<AreaRule> entry;
    entry.rule.enabled = enabled;
    entry.rule.sensitivity = sensitivity;
    entry.rule.timeThreshold = timeThreshold;
    entry.rule.pointCount = static_cast<int32_t>(corners.size());
    for (size_t i = 0; i < corners.size() && i < kOstrelAreaPointCapacity; ++i)
        entry.rule.points[i] = corners[i];
    entry.rule.priority = priority;
    entry.filters = std::move(filters);
    return entry;
}

template <typename Rule>
control::RuleList<Rule> makeRuleList(std::vector<control::RuleEntry<Rule>> rules)
{
    control::RuleList<Rule> list;
    list.ruleCount = static_cast<int32_t>(rules.size());
    list.rules = std::move(rules);
    return list;
}

// Every value of a settings response.
inline Settings responseValues(const nx::sdk::SettingsResponse& response)
{
    Settings values;
    // values() hands out a reference of its own.
    const auto map = nx::sdk::toPtr(response.values());
    for (int i = 0; map && i < map->count(); ++i)
        values[map->key(i)] = map->valueAt(i);
    return values;
}

// A setting lookup over a fixed map; a missing key gives the empty text.
inline SettingLookup lookupIn(const Settings& settings)
{
    return [settings](const std::string& key)
    {
        const auto it = settings.find(key);
        return it == settings.end() ? std::string() : it->second;
    };
}

// A channel supporting every rule kind, with no rules.
inline control::ChannelConfig allKindsChannel()
{
    control::ChannelConfig channel;
    channel.lineCrossCapability = 1;
    channel.intrusionCapability = 1;
    channel.enterAreaCapability = 1;
    channel.leaveAreaCapability = 1;
    channel.combinations = {{100, 101, 102, 103}};  //< Every kind can be switched on.
    return channel;
}

class RuleSyncTest : public testing::Test
{
protected:
    void SetUp() override { resetAll(); }
    void TearDown() override { resetAll(); }

    // Adds camera `index` (10.0.1.<index>:8000) with one channel 0 and logs in to it; the
    // session's capabilities are those of the channel, and its lines start with "[agent] ".
    RuleSession openCamera(int index, const control::ChannelConfig& channel)
    {
        control::CameraConfig config;
        config.address = address(index);
        config.port = 8000;
        config.loginName = "admin";
        config.password = "secret";
        config.channels[0] = channel;
        m_cameras[index] = control::addCamera(config);

        OstrelLoginRecord login{};
        std::strncpy(login.address, config.address.c_str(), sizeof login.address - 1);
        login.port = config.port;
        std::strncpy(login.loginName, "admin", sizeof login.loginName - 1);
        std::strncpy(login.password, "secret", sizeof login.password - 1);
        OstrelLoginResult result{};
        RuleSession session;
        session.handle = OSTREL_Login(&login, &result);
        EXPECT_NE(nullptr, session.handle);
        session.lineCrossCapability = channel.lineCrossCapability;
        session.intrusionCapability = channel.intrusionCapability;
        session.enterAreaCapability = channel.enterAreaCapability;
        session.leaveAreaCapability = channel.leaveAreaCapability;
        session.printPrefix = "[agent] ";
        return session;
    }

    // The channel of camera `index` as it holds it now.
    control::ChannelConfig cameraState(int index)
    {
        return control::channelState(m_cameras.at(index), 0);
    }

    static std::string address(int index) { return "10.0.1." + std::to_string(index); }

    std::map<int, control::CameraId> m_cameras;

private:
    static void resetAll()
    {
        control::reset();
        for (const RuleKind kind : kRuleTypeOrder)
            ruleCache(kind).clear();
    }
};

}  // namespace nx::vms_server_plugins::analytics::sample::test
