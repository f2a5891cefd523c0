// The simulated cameras and sessions behind the Camera SDK stand-in: each operation takes
// the one lock and hands over to the unit that does the work.

#include "ostrel_sdk/simulator.h"

#include <thread>

namespace ostrel
{

using control::CameraId;
using control::ChannelConfig;
using control::Operation;
using control::RuleSetKind;
using port::MutexLock;

namespace
{

void joinAll(std::vector<std::thread>& threads)
{
    for (std::thread& thread : threads)
        thread.join();
}

}  // namespace

Simulator& Simulator::instance()
{
    // Never destroyed (see the header); the guard joins the threads at exit.
    static Simulator* const simulator = new Simulator();
    struct ShutDownAtExit
    {
        ~ShutDownAtExit() { simulator->shutDown(); }
    };
    static ShutDownAtExit guard;
    return *simulator;
}

// ---- SDK operations ----

int32_t Simulator::init()
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.init();
}

int32_t Simulator::lastError()
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.lastError();
}

void* Simulator::login(const OstrelLoginRecord* login, OstrelLoginResult* result)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.login(login, result);
}

int32_t Simulator::logout(void* handle)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.logout(handle);
}

int32_t Simulator::queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.queryChannelList(handle, count, channels);
}

int32_t Simulator::getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                                   int32_t bufferSize, int32_t* bytesReturned)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.getDeviceConfig(handle, channel, command, buffer, bufferSize, bytesReturned);
}

int32_t Simulator::setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.setAlarmCallback(handle, callback, userData);
}

int32_t Simulator::setStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                         void* userData)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.setStructDataCallback(handle, callback, userData);
}

int32_t Simulator::subscribe(void* handle, const OstrelSubscriptionRequest* request,
                             OstrelSubscriptionResult* result)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.subscribe(handle, request, result);
}

int32_t Simulator::unsubscribe(void* handle, uint32_t id)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.unsubscribe(handle, id);
}

int32_t Simulator::getLineRules(void* handle, int32_t channel, LineRuleSet* rules)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.getLineRules(handle, channel, rules);
}

int32_t Simulator::setLineRules(void* handle, int32_t channel, const LineRuleSet* rules)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.setLineRules(handle, channel, rules);
}

int32_t Simulator::getAreaRules(RuleSetKind kind, void* handle, int32_t channel, AreaRuleSet* rules)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.getAreaRules(kind, handle, channel, rules);
}

int32_t Simulator::setAreaRules(RuleSetKind kind, void* handle, int32_t channel,
                                const AreaRuleSet* rules)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.setAreaRules(kind, handle, channel, rules);
}

int32_t Simulator::getSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.getSwitches(handle, channel, switches);
}

int32_t Simulator::setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.setSwitches(handle, channel, switches);
}

int32_t Simulator::getCombinations(void* handle, int32_t channel, RuleCombinationList* list)
{
    MutexLock lock(&simulatorMutex());
    return m_sdk.getCombinations(handle, channel, list);
}

// ---- Control ----

void Simulator::reset()
{
    std::vector<std::thread> threads;
    {
        MutexLock lock(&simulatorMutex());
        threads = m_cameras.clear();
        m_sessions.clear();
        m_sdk.clear();
        m_calls.clear();
    }
    joinAll(threads);
}

void Simulator::shutDown()
{
    std::vector<std::thread> threads;
    {
        MutexLock lock(&simulatorMutex());
        threads = m_cameras.shutDown();
    }
    joinAll(threads);
}

CameraId Simulator::addCamera(const control::CameraConfig& config)
{
    MutexLock lock(&simulatorMutex());
    return m_cameras.add(config);
}

void Simulator::removeCamera(CameraId camera)
{
    std::vector<std::thread> threads;
    {
        MutexLock lock(&simulatorMutex());
        threads = m_cameras.remove(camera);
    }
    joinAll(threads);
}

void Simulator::setChannel(CameraId camera, int32_t channel, const ChannelConfig& config)
{
    MutexLock lock(&simulatorMutex());
    m_cameras.setChannel(camera, channel, config);
}

ChannelConfig Simulator::channelState(CameraId camera, int32_t channel)
{
    MutexLock lock(&simulatorMutex());
    return m_cameras.channelState(camera, channel);
}

void Simulator::failOperation(Operation operation, int count, int32_t error)
{
    MutexLock lock(&simulatorMutex());
    m_calls.failNext(operation, count, error);
}

void Simulator::takeAway(CameraId camera)
{
    MutexLock lock(&simulatorMutex());
    m_cameras.takeAway(camera);
}

void Simulator::bringBack(CameraId camera, bool rebooted)
{
    MutexLock lock(&simulatorMutex());
    m_cameras.bringBack(camera, rebooted);
}

uint64_t Simulator::enqueue(CameraId camera, std::unique_ptr<Delivery> delivery)
{
    MutexLock lock(&simulatorMutex());
    return m_cameras.enqueue(camera, std::move(delivery));
}

bool Simulator::waitForDelivery(CameraId camera, uint64_t ticket, int timeoutMs)
{
    MutexLock lock(&simulatorMutex());
    return m_cameras.waitForDelivery(camera, ticket, timeoutMs);
}

bool Simulator::waitForAllDeliveries(CameraId camera, int timeoutMs)
{
    uint64_t ticket = 0;
    {
        MutexLock lock(&simulatorMutex());
        if (!m_cameras.lastTicket(camera, &ticket))
            return false;
        if (ticket == 0)
            return true;
    }
    return waitForDelivery(camera, ticket, timeoutMs);
}

void Simulator::deliverNow(CameraId camera, const Delivery& delivery)
{
    MutexLock lock(&simulatorMutex());
    if (!m_cameras.isAway(camera))
        m_sessions.runCallbacks(camera, delivery);
}

int Simulator::callCount(Operation operation)
{
    MutexLock lock(&simulatorMutex());
    return m_calls.callCount(operation);
}

OstrelLoginRecord Simulator::lastLoginRecord()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastLogin();
}

OstrelSubscriptionRequest Simulator::lastSubscriptionRequest()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastSubscription();
}

uint32_t Simulator::lastUnsubscribeId()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastUnsubscribeId();
}

int32_t Simulator::lastChannel()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastChannel();
}

control::LineRules Simulator::lastWrittenLineRules()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastLineRules();
}

control::AreaRules Simulator::lastWrittenAreaRules(RuleSetKind kind)
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastAreaRules(kind);
}

RuleSwitchList Simulator::lastWrittenSwitches()
{
    MutexLock lock(&simulatorMutex());
    return m_calls.lastSwitches();
}

std::vector<control::SessionInfo> Simulator::liveSessions()
{
    MutexLock lock(&simulatorMutex());
    return m_sessions.live();
}

}  // namespace ostrel
