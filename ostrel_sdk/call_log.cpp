// What the plugin sent to the Camera SDK stand-in, and the failures it is to meet.

#include "ostrel_sdk/call_log.h"

namespace ostrel
{

using control::Operation;
using control::RuleSetKind;

namespace
{

// The SDK reports the last error of the calling thread, as a real SDK does.
thread_local int32_t t_lastError = 0;

int indexOf(Operation operation)
{
    return static_cast<int>(operation);
}

// The slot of an area kind among the recorded area rule sets.
int areaIndex(RuleSetKind kind)
{
    return static_cast<int>(kind) - static_cast<int>(RuleSetKind::kIntrusion);
}

}  // namespace

int32_t lastErrorOfThisThread()
{
    return t_lastError;
}

int32_t fail(int32_t error)
{
    t_lastError = error;
    return 0;
}

int32_t succeed()
{
    t_lastError = 0;
    return 1;
}

bool CallLog::enter(Operation operation)
{
    const int index = indexOf(operation);
    ++m_calls[index];
    Failure& failure = m_failures[index];
    if (failure.left <= 0)
        return true;
    --failure.left;
    fail(failure.error);
    return false;
}

void CallLog::count(Operation operation)
{
    ++m_calls[indexOf(operation)];
}

void CallLog::failNext(Operation operation, int count, int32_t error)
{
    m_failures[indexOf(operation)] = Failure{count, error};
}

int CallLog::callCount(Operation operation) const
{
    return m_calls[indexOf(operation)];
}

void CallLog::clear()
{
    for (int i = 0; i < control::kOperationCount; ++i)
    {
        m_failures[i] = Failure{};
        m_calls[i] = 0;
    }
    m_lastLogin = OstrelLoginRecord{};
    m_lastSubscription = OstrelSubscriptionRequest{};
    m_lastUnsubscribeId = 0;
    m_lastChannel = 0;
    m_lineRules = control::LineRules{};
    for (control::AreaRules& rules : m_areaRules)
        rules = control::AreaRules{};
    m_switches = RuleSwitchList{};
}

void CallLog::recordLogin(const OstrelLoginRecord& login)
{
    m_lastLogin = login;
}

OstrelLoginRecord CallLog::lastLogin() const
{
    return m_lastLogin;
}

void CallLog::recordSubscription(const OstrelSubscriptionRequest& request)
{
    m_lastSubscription = request;
}

OstrelSubscriptionRequest CallLog::lastSubscription() const
{
    return m_lastSubscription;
}

void CallLog::recordUnsubscribeId(uint32_t id)
{
    m_lastUnsubscribeId = id;
}

uint32_t CallLog::lastUnsubscribeId() const
{
    return m_lastUnsubscribeId;
}

void CallLog::recordChannel(int32_t channel)
{
    m_lastChannel = channel;
}

int32_t CallLog::lastChannel() const
{
    return m_lastChannel;
}

void CallLog::recordLineRules(const control::LineRules& rules)
{
    m_lineRules = rules;
}

control::LineRules CallLog::lastLineRules() const
{
    return m_lineRules;
}

void CallLog::recordAreaRules(RuleSetKind kind, const control::AreaRules& rules)
{
    m_areaRules[areaIndex(kind)] = rules;
}

control::AreaRules CallLog::lastAreaRules(RuleSetKind kind) const
{
    if (kind == RuleSetKind::kLineCross)
        return control::AreaRules{};
    return m_areaRules[areaIndex(kind)];
}

void CallLog::recordSwitches(const RuleSwitchList& switches)
{
    m_switches = switches;
}

RuleSwitchList CallLog::lastSwitches() const
{
    return m_switches;
}

}  // namespace ostrel
