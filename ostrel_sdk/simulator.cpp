// The simulated cameras and sessions behind the Camera SDK stand-in.

#include "simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace ostrel
{

using control::CameraId;
using control::ChannelConfig;
using control::Operation;
using control::RuleSetKind;

namespace
{

// The SDK reports the last error of the calling thread, as a real SDK does.
thread_local int32_t t_lastError = 0;

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

size_t countOf(int32_t value)
{
    return value > 0 ? static_cast<size_t>(value) : 0;
}

// Copies a NUL-terminated text of at most `size` bytes out of a fixed field.
std::string fieldText(const char* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

template <typename Rule>
void readRule(const control::RuleEntry<Rule>& entry, Rule* out)
{
    ObjectFilter* const storage = out->filters;
    const int32_t capacity = out->filterCount;
    *out = entry.rule;
    out->filters = storage;
    const size_t n = storage ? std::min(countOf(capacity), entry.filters.size()) : 0;
    std::copy_n(entry.filters.begin(), n, storage);
    out->filterCount =
        entry.reportedFilterCount >= 0 ? entry.reportedFilterCount : static_cast<int32_t>(n);
}

// Fills the caller's rule set as a camera does: the count as stored, at most four rules.
template <typename Rule, typename RuleSet>
void readRules(const control::RuleList<Rule>& stored, RuleSet* out)
{
    out->ruleCount = stored.ruleCount;
    const size_t n = std::min(
        {static_cast<size_t>(kOstrelRuleSlots), countOf(stored.ruleCount), stored.rules.size()});
    for (size_t i = 0; i < n; ++i)
        readRule(stored.rules[i], &out->rules[i]);
}

// The rule set as written by the caller, filters copied out of the caller's storage.
template <typename Rule, typename RuleSet>
control::RuleList<Rule> writtenRules(const RuleSet& in)
{
    control::RuleList<Rule> list;
    list.ruleCount = in.ruleCount;
    const size_t n = std::min(static_cast<size_t>(kOstrelRuleSlots), countOf(in.ruleCount));
    for (size_t i = 0; i < n; ++i)
    {
        control::RuleEntry<Rule> entry;
        entry.rule = in.rules[i];
        entry.rule.filters = nullptr;
        const ObjectFilter* filters = in.rules[i].filters;
        const size_t k = filters ? std::min(countOf(in.rules[i].filterCount),
                                            static_cast<size_t>(kOstrelFilterCapacity))
                                 : 0;
        entry.filters.assign(filters, filters + k);
        list.rules.push_back(std::move(entry));
    }
    return list;
}

void putCodes(const std::vector<int32_t>& codes, int32_t* count, int32_t* slots)
{
    const size_t n = std::min(codes.size(), static_cast<size_t>(kOstrelSwitchListCapacity));
    std::copy_n(codes.begin(), n, slots);
    *count = static_cast<int32_t>(n);
}

std::vector<int32_t> takeCodes(int32_t count, const int32_t* slots)
{
    const size_t n = std::min(countOf(count), static_cast<size_t>(kOstrelSwitchListCapacity));
    return std::vector<int32_t>(slots, slots + n);
}

void putCapability(uint8_t* block, int32_t offset, uint32_t value)
{
    std::memcpy(block + offset, &value, sizeof value);
}

void* handleOf(uintptr_t value)
{
    return reinterpret_cast<void*>(value);
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

// ---- Helpers ----

bool Simulator::enter(Operation operation)
{
    const int index = static_cast<int>(operation);
    ++m_calls[index];
    Failure& failure = m_failures[index];
    if (failure.left <= 0)
        return true;
    --failure.left;
    fail(failure.error);
    return false;
}

Session* Simulator::findSession(void* handle)
{
    const auto it = m_sessions.find(reinterpret_cast<uintptr_t>(handle));
    if (it == m_sessions.end() || it->second->closing)
    {
        fail(control::kErrorInvalidHandle);
        return nullptr;
    }
    return it->second.get();
}

Camera* Simulator::findCamera(void* handle)
{
    Session* session = findSession(handle);
    if (!session)
        return nullptr;
    const auto it = m_cameras.find(session->camera);
    if (it == m_cameras.end())
    {
        fail(control::kErrorUnknownDevice);
        return nullptr;
    }
    return it->second.get();
}

ChannelConfig* Simulator::enterChannel(Operation operation, void* handle, int32_t channel,
                                       const void* record)
{
    if (!enter(operation))
        return nullptr;
    m_lastChannel = channel;
    Camera* camera = findCamera(handle);
    if (!camera)
        return nullptr;
    if (!record)
    {
        fail(control::kErrorInvalidArgument);
        return nullptr;
    }
    const auto it = camera->config.channels.find(channel);
    if (it == camera->config.channels.end())
    {
        fail(control::kErrorNoSuchChannel);
        return nullptr;
    }
    return &it->second;
}

void Simulator::forgetSession(const std::shared_ptr<Session>& session)
{
    // Only the entries of this very session: a reset may have run meanwhile, and the
    // handle may belong to a newer session by now.
    const auto it = m_sessions.find(session->handleValue);
    if (it != m_sessions.end() && it->second == session)
        m_sessions.erase(it);
    const auto camera = m_sessionsByCamera.find(session->camera);
    if (camera == m_sessionsByCamera.end())
        return;
    const auto own = camera->second.find(session->handleValue);
    if (own != camera->second.end() && own->second == session)
        camera->second.erase(own);
    if (camera->second.empty())
        m_sessionsByCamera.erase(camera);
}

uintptr_t Simulator::freeHandleValue() const
{
    uintptr_t value = 1;
    for (const auto& entry : m_sessions)  // ascending keys: the first gap is the lowest
    {
        if (entry.first != value)
            break;
        ++value;
    }
    return value;
}

control::AreaRules& Simulator::areaRules(ChannelConfig& channel, RuleSetKind kind)
{
    switch (kind)
    {
        case RuleSetKind::kIntrusion:
            return channel.intrusionRules;
        case RuleSetKind::kEnterArea:
            return channel.enterAreaRules;
        default:
            return channel.leaveAreaRules;
    }
}

// ---- SDK operations ----

int32_t Simulator::init()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return enter(Operation::kInit) ? succeed() : 0;
}

int32_t Simulator::lastError()
{
    // Counted, but never failed: the call reports the error of the call before it.
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_calls[static_cast<int>(Operation::kGetLastError)];
    return t_lastError;
}

void* Simulator::login(const OstrelLoginRecord* login, OstrelLoginResult* result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (login)
        m_lastLogin = *login;
    if (!enter(Operation::kLogin))
        return nullptr;
    if (!login || !result)
        return fail(control::kErrorInvalidArgument), nullptr;
    const std::string address = fieldText(login->address, sizeof login->address);
    for (const auto& [id, camera] : m_cameras)
    {
        const control::CameraConfig& config = camera->config;
        if (config.address != address || config.port != login->port)
            continue;
        if (config.loginName != fieldText(login->loginName, sizeof login->loginName) ||
            config.password != fieldText(login->password, sizeof login->password))
            return fail(control::kErrorBadCredentials), nullptr;
        auto session = std::make_shared<Session>();
        session->handleValue = freeHandleValue();
        session->camera = id;
        m_sessions[session->handleValue] = session;
        m_sessionsByCamera[id][session->handleValue] = session;
        std::snprintf(result->serialNumber, sizeof result->serialNumber, "OSTREL-SIM-%d", id);
        result->channelCount = config.channelCount;
        succeed();
        return handleOf(session->handleValue);
    }
    return fail(control::kErrorUnknownDevice), nullptr;
}

int32_t Simulator::logout(void* handle)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!enter(Operation::kLogout))
        return 0;
    if (!findSession(handle))
        return 0;
    const std::shared_ptr<Session> session = m_sessions[reinterpret_cast<uintptr_t>(handle)];
    // No callback starts once closing is set; wait for those in flight on other threads.
    // A callback of this session that calls logout itself is not waited for.
    session->closing = true;
    const std::thread::id self = std::this_thread::get_id();
    m_changed.wait(lock,
                   [&]
                   {
                       return std::all_of(session->callbackThreads.begin(),
                                          session->callbackThreads.end(),
                                          [&](std::thread::id id) { return id == self; });
                   });
    forgetSession(session);
    return succeed();
}

int32_t Simulator::queryChannelList(void* handle, int32_t* count, OstrelChannelRecord* channels)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!enter(Operation::kQueryChannelList))
        return 0;
    Camera* camera = findCamera(handle);
    if (!camera)
        return 0;
    if (!count || (*count > 0 && !channels))
        return fail(control::kErrorInvalidArgument);
    const int32_t n = std::max(0, std::min(*count, camera->config.channelCount));
    for (int32_t i = 0; i < n; ++i)
    {
        channels[i] = OstrelChannelRecord{};
        channels[i].channel = i;
        std::snprintf(channels[i].name, sizeof channels[i].name, "Channel %d", i);
        channels[i].online = 1;
    }
    *count = n;
    return succeed();
}

int32_t Simulator::getDeviceConfig(void* handle, int32_t channel, int32_t command, void* buffer,
                                   int32_t bufferSize, int32_t* bytesReturned)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config = enterChannel(Operation::kGetDeviceConfig, handle, channel, buffer);
    if (!config)
        return 0;
    if (command != kOstrelConfigSmartCapabilities)
        return fail(control::kErrorUnknownCommand);
    if (bufferSize < kOstrelConfigBufferSize)
        return fail(control::kErrorBufferTooSmall);
    uint8_t* block = static_cast<uint8_t*>(buffer);
    std::memset(block, 0, kOstrelConfigBufferSize);
    putCapability(block, kOstrelIntrusionCapabilityOffset, config->intrusionCapability);
    putCapability(block, kOstrelLineCrossCapabilityOffset, config->lineCrossCapability);
    putCapability(block, kOstrelEnterAreaCapabilityOffset, config->enterAreaCapability);
    putCapability(block, kOstrelLeaveAreaCapabilityOffset, config->leaveAreaCapability);
    if (bytesReturned)
        *bytesReturned = kOstrelConfigBufferSize;
    return succeed();
}

int32_t Simulator::setAlarmCallback(void* handle, OstrelAlarmCallback callback, void* userData)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!enter(Operation::kSetAlarmCallback))
        return 0;
    Session* session = findSession(handle);
    if (!session)
        return 0;
    session->alarmCallback = callback;
    session->alarmUserData = userData;
    return succeed();
}

int32_t Simulator::setStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                         void* userData)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!enter(Operation::kSetStructDataCallback))
        return 0;
    Session* session = findSession(handle);
    if (!session)
        return 0;
    session->structCallback = callback;
    session->structUserData = userData;
    return succeed();
}

int32_t Simulator::subscribe(void* handle, const OstrelSubscriptionRequest* request,
                             OstrelSubscriptionResult* result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (request)
        m_lastSubscription = *request;
    if (!enter(Operation::kSubscribe))
        return 0;
    Session* session = findSession(handle);
    if (!session)
        return 0;
    if (!request || !result)
        return fail(control::kErrorInvalidArgument);
    session->subscribed = true;
    session->subscriptionId = m_nextSubscriptionId++;
    result->subscriptionId = session->subscriptionId;
    return succeed();
}

int32_t Simulator::unsubscribe(void* handle, uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastUnsubscribeId = id;
    if (!enter(Operation::kUnsubscribe))
        return 0;
    Session* session = findSession(handle);
    if (!session)
        return 0;
    if (!session->subscribed || session->subscriptionId != id)
        return fail(control::kErrorInvalidArgument);
    session->subscribed = false;
    return succeed();
}

int32_t Simulator::getLineRules(void* handle, int32_t channel, LineRuleSet* rules)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config = enterChannel(Operation::kGetLineCrossRules, handle, channel, rules);
    if (!config)
        return 0;
    readRules(config->lineCrossRules, rules);
    return succeed();
}

int32_t Simulator::setLineRules(void* handle, int32_t channel, const LineRuleSet* rules)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config = enterChannel(Operation::kSetLineCrossRules, handle, channel, rules);
    if (!config)
        return 0;
    m_writtenLineRules = writtenRules<LineRule>(*rules);
    config->lineCrossRules = m_writtenLineRules;
    return succeed();
}

namespace
{

Operation areaOperation(RuleSetKind kind, bool write)
{
    switch (kind)
    {
        case RuleSetKind::kIntrusion:
            return write ? Operation::kSetIntrusionRules : Operation::kGetIntrusionRules;
        case RuleSetKind::kEnterArea:
            return write ? Operation::kSetEnterAreaRules : Operation::kGetEnterAreaRules;
        default:
            return write ? Operation::kSetLeaveAreaRules : Operation::kGetLeaveAreaRules;
    }
}

int areaIndex(RuleSetKind kind)
{
    return static_cast<int>(kind) - static_cast<int>(RuleSetKind::kIntrusion);
}

}  // namespace

int32_t Simulator::getAreaRules(RuleSetKind kind, void* handle, int32_t channel, AreaRuleSet* rules)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config = enterChannel(areaOperation(kind, false), handle, channel, rules);
    if (!config)
        return 0;
    readRules(areaRules(*config, kind), rules);
    return succeed();
}

int32_t Simulator::setAreaRules(RuleSetKind kind, void* handle, int32_t channel,
                                const AreaRuleSet* rules)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config = enterChannel(areaOperation(kind, true), handle, channel, rules);
    if (!config)
        return 0;
    control::AreaRules& written = m_writtenAreaRules[areaIndex(kind)];
    written = writtenRules<AreaRule>(*rules);
    areaRules(*config, kind) = written;
    return succeed();
}

int32_t Simulator::getSwitches(void* handle, int32_t channel, RuleSwitchList* switches)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config =
        enterChannel(Operation::kGetSmartRuleSwitches, handle, channel, switches);
    if (!config)
        return 0;
    putCodes(config->enabledTypes, &switches->enabledCount, switches->enabledTypes);
    putCodes(config->disabledTypes, &switches->disabledCount, switches->disabledTypes);
    return succeed();
}

int32_t Simulator::setSwitches(void* handle, int32_t channel, const RuleSwitchList* switches)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config =
        enterChannel(Operation::kSetSmartRuleSwitches, handle, channel, switches);
    if (!config)
        return 0;
    m_writtenSwitches = *switches;
    config->enabledTypes = takeCodes(switches->enabledCount, switches->enabledTypes);
    config->disabledTypes = takeCodes(switches->disabledCount, switches->disabledTypes);
    return succeed();
}

int32_t Simulator::getCombinations(void* handle, int32_t channel, RuleCombinationList* list)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ChannelConfig* config =
        enterChannel(Operation::kGetSmartRuleCombinations, handle, channel, list);
    if (!config)
        return 0;
    // Fill as many groups as the caller declared room for, each up to its own capacity.
    const size_t groups =
        list->groups ? std::min(countOf(list->groupCount), config->combinations.size()) : 0;
    for (size_t g = 0; g < groups; ++g)
    {
        RuleCombination& out = list->groups[g];
        const std::vector<int32_t>& codes = config->combinations[g];
        const size_t n = out.types ? std::min(countOf(out.typeCount), codes.size()) : 0;
        std::copy_n(codes.begin(), n, out.types);
        out.typeCount = static_cast<int32_t>(n);
    }
    list->groupCount = static_cast<int32_t>(groups);
    return succeed();
}

// ---- Delivery ----

void Simulator::deliver(CameraId camera, const Delivery& delivery,
                        std::unique_lock<std::mutex>& lock)
{
    std::vector<std::shared_ptr<Session>> targets;
    const auto sessions = m_sessionsByCamera.find(camera);
    if (sessions != m_sessionsByCamera.end())
    {
        for (const auto& entry : sessions->second)
            targets.push_back(entry.second);
    }
    const std::thread::id self = std::this_thread::get_id();
    for (const std::shared_ptr<Session>& session : targets)
    {
        // Checked afresh for each session: a logout or unsubscribe may have run meanwhile.
        if (session->closing || !session->subscribed)
            continue;
        const OstrelAlarmCallback alarmCallback = session->alarmCallback;
        const OstrelStructDataCallback structCallback = session->structCallback;
        if (delivery.isAlarm ? !alarmCallback : !structCallback)
            continue;
        void* const userData = delivery.isAlarm ? session->alarmUserData : session->structUserData;
        void* const handle = handleOf(session->handleValue);
        session->callbackThreads.push_back(self);
        lock.unlock();
        if (delivery.isAlarm)
            alarmCallback(handle, delivery.alarm, userData);
        else
            structCallback(handle, nullptr, delivery.structured, userData);
        lock.lock();
        auto& threads = session->callbackThreads;
        threads.erase(std::find(threads.begin(), threads.end(), self));
        m_changed.notify_all();
    }
}

void Simulator::runWorker(std::shared_ptr<Camera> camera, CameraId id)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        camera->wake.wait(lock, [&] { return camera->stopping || !camera->queue.empty(); });
        if (camera->stopping)
            return;
        std::unique_ptr<Delivery> delivery = std::move(camera->queue.front());
        camera->queue.pop_front();
        deliver(id, *delivery, lock);
        ++camera->handledTickets;
        m_changed.notify_all();
    }
}

uint64_t Simulator::enqueue(CameraId camera, std::unique_ptr<Delivery> delivery)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_cameras.find(camera);
    if (it == m_cameras.end() || it->second->stopping)
        return 0;
    Camera& target = *it->second;
    target.queue.push_back(std::move(delivery));
    target.wake.notify_one();
    return ++target.queuedTickets;
}

bool Simulator::waitForDelivery(CameraId camera, uint64_t ticket, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto it = m_cameras.find(camera);
    if (it == m_cameras.end() || ticket == 0)
        return false;
    const std::shared_ptr<Camera> target = it->second;
    const bool done =
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return target->stopping || target->handledTickets >= ticket; });
    return done && target->handledTickets >= ticket;
}

bool Simulator::waitForAllDeliveries(CameraId camera, int timeoutMs)
{
    uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_cameras.find(camera);
        if (it == m_cameras.end())
            return false;
        ticket = it->second->queuedTickets;
        if (ticket == 0)
            return true;
    }
    return waitForDelivery(camera, ticket, timeoutMs);
}

void Simulator::deliverNow(CameraId camera, const Delivery& delivery)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    deliver(camera, delivery, lock);
}

// ---- Control ----

std::vector<std::thread> Simulator::stopCameras(std::vector<std::shared_ptr<Camera>> cameras)
{
    std::vector<std::thread> threads;
    for (const std::shared_ptr<Camera>& camera : cameras)
    {
        camera->stopping = true;
        camera->queue.clear();
        camera->wake.notify_all();
        if (camera->worker.joinable())
            threads.push_back(std::move(camera->worker));
    }
    m_changed.notify_all();  // wakes waiters of these cameras
    return threads;
}

void Simulator::reset()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::shared_ptr<Camera>> cameras;
        for (const auto& entry : m_cameras)
            cameras.push_back(entry.second);
        threads = stopCameras(std::move(cameras));
        m_cameras.clear();
        m_sessions.clear();
        m_sessionsByCamera.clear();
        m_nextSubscriptionId = 1;
        for (int i = 0; i < control::kOperationCount; ++i)
        {
            m_failures[i] = Failure{};
            m_calls[i] = 0;
        }
        m_lastLogin = OstrelLoginRecord{};
        m_lastSubscription = OstrelSubscriptionRequest{};
        m_lastUnsubscribeId = 0;
        m_lastChannel = 0;
        m_writtenLineRules = control::LineRules{};
        for (control::AreaRules& rules : m_writtenAreaRules)
            rules = control::AreaRules{};
        m_writtenSwitches = RuleSwitchList{};
    }
    for (std::thread& thread : threads)
        thread.join();
}

void Simulator::shutDown()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_shutDown = true;
        std::vector<std::shared_ptr<Camera>> cameras;
        for (const auto& entry : m_cameras)
            cameras.push_back(entry.second);
        threads = stopCameras(std::move(cameras));
    }
    for (std::thread& thread : threads)
        thread.join();
}

CameraId Simulator::addCamera(const control::CameraConfig& config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto camera = std::make_shared<Camera>();
    camera->config = config;
    const CameraId id = m_nextCamera++;
    m_cameras[id] = camera;
    if (m_shutDown)
        camera->stopping = true;  // at exit: no thread, no asynchronous delivery
    else
        camera->worker = std::thread(&Simulator::runWorker, this, camera, id);
    return id;
}

void Simulator::removeCamera(CameraId camera)
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_cameras.find(camera);
        if (it == m_cameras.end())
            return;
        threads = stopCameras({it->second});
        m_cameras.erase(it);
    }
    for (std::thread& thread : threads)
        thread.join();
}

void Simulator::setChannel(CameraId camera, int32_t channel, const ChannelConfig& config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_cameras.find(camera);
    if (it != m_cameras.end())
        it->second->config.channels[channel] = config;
}

ChannelConfig Simulator::channelState(CameraId camera, int32_t channel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_cameras.find(camera);
    if (it == m_cameras.end())
        return ChannelConfig{};
    const auto found = it->second->config.channels.find(channel);
    return found == it->second->config.channels.end() ? ChannelConfig{} : found->second;
}

void Simulator::failOperation(Operation operation, int count, int32_t error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failures[static_cast<int>(operation)] = Failure{count, error};
}

int Simulator::callCount(Operation operation)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls[static_cast<int>(operation)];
}

OstrelLoginRecord Simulator::lastLoginRecord()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastLogin;
}

OstrelSubscriptionRequest Simulator::lastSubscriptionRequest()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastSubscription;
}

uint32_t Simulator::lastUnsubscribeId()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastUnsubscribeId;
}

int32_t Simulator::lastChannel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastChannel;
}

control::LineRules Simulator::lastWrittenLineRules()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writtenLineRules;
}

control::AreaRules Simulator::lastWrittenAreaRules(RuleSetKind kind)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (kind == RuleSetKind::kLineCross)
        return control::AreaRules{};
    return m_writtenAreaRules[areaIndex(kind)];
}

RuleSwitchList Simulator::lastWrittenSwitches()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writtenSwitches;
}

std::vector<control::SessionInfo> Simulator::liveSessions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<control::SessionInfo> sessions;
    for (const auto& [value, session] : m_sessions)
    {
        if (session->closing)
            continue;
        control::SessionInfo info;
        info.handle = handleOf(value);
        info.camera = session->camera;
        info.hasAlarmCallback = session->alarmCallback != nullptr;
        info.hasStructDataCallback = session->structCallback != nullptr;
        info.subscribed = session->subscribed;
        info.subscriptionId = session->subscriptionId;
        sessions.push_back(info);
    }
    return sessions;
}

}  // namespace ostrel
