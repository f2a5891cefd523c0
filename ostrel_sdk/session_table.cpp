// The open sessions of the simulated cameras, and the running of their callbacks.

#include "ostrel_sdk/session_table.h"

#include <algorithm>

#include "ostrel_sdk/call_log.h"

namespace ostrel
{

using control::CameraId;

namespace
{

// Whether every callback of the session in flight runs on thread `self`.
bool onlyOnThread(const std::vector<std::thread::id>& callbackThreads, std::thread::id self)
{
    return std::all_of(callbackThreads.begin(), callbackThreads.end(),
                       [&](std::thread::id id) { return id == self; });
}

}  // namespace

void* handleOf(uintptr_t handleValue)
{
    return reinterpret_cast<void*>(handleValue);
}

Session& SessionTable::open(CameraId camera)
{
    auto session = std::make_shared<Session>(freeHandleValue(), camera);
    m_sessions[session->handleValue] = session;
    m_sessionsByCamera[camera][session->handleValue] = session;
    return *session;
}

Session* SessionTable::find(void* handle)
{
    const auto it = m_sessions.find(reinterpret_cast<uintptr_t>(handle));
    if (it == m_sessions.end() || it->second->closing)
    {
        fail(control::kErrorInvalidHandle);
        return nullptr;
    }
    return it->second.get();
}

void SessionTable::close(Session* session)
{
    // Held here, so that the session outlives a reset that runs while this thread waits.
    const std::shared_ptr<Session> held = m_sessions.at(session->handleValue);
    held->closing = true;
    const std::thread::id self = std::this_thread::get_id();
    while (!onlyOnThread(held->callbackThreads, self))
        m_callbackDone.wait(simulatorMutex());
    forget(held);
}

void SessionTable::runCallbacks(CameraId camera, const Delivery& delivery)
{
    // Each session is held by the list, so that it outlives a logout or a reset that
    // runs while one of the callbacks does.
    for (const std::shared_ptr<Session>& session : sessionsOf(camera))
        runCallback(*session, delivery);
}

std::vector<std::shared_ptr<Session>> SessionTable::sessionsOf(CameraId camera) const
{
    std::vector<std::shared_ptr<Session>> sessions;
    const auto found = m_sessionsByCamera.find(camera);
    if (found == m_sessionsByCamera.end())
        return sessions;
    for (const auto& entry : found->second)
        sessions.push_back(entry.second);
    return sessions;
}

void SessionTable::runCallback(Session& session, const Delivery& delivery)
{
    // Checked afresh for each session: a logout or unsubscribe may have run meanwhile.
    if (session.closing || session.dead || !session.subscribed)
        return;
    const OstrelAlarmCallback alarmCallback = session.alarmCallback;
    const OstrelStructDataCallback structCallback = session.structCallback;
    if (delivery.isAlarm ? !alarmCallback : !structCallback)
        return;
    void* const userData = delivery.isAlarm ? session.alarmUserData : session.structUserData;
    void* const handle = handleOf(session.handleValue);
    const std::thread::id self = std::this_thread::get_id();
    session.callbackThreads.push_back(self);
    simulatorMutex().unlock();
    if (delivery.isAlarm)
        alarmCallback(handle, delivery.alarm, userData);
    else
        structCallback(handle, nullptr, delivery.structured, userData);
    simulatorMutex().lock();
    std::vector<std::thread::id>& threads = session.callbackThreads;
    threads.erase(std::find(threads.begin(), threads.end(), self));
    m_callbackDone.notify_all();
}

void SessionTable::endSessionsOf(CameraId camera)
{
    for (const std::shared_ptr<Session>& session : sessionsOf(camera))
        session->dead = true;
}

std::vector<control::SessionInfo> SessionTable::live() const
{
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

void SessionTable::clear()
{
    m_sessions.clear();
    m_sessionsByCamera.clear();
}

void SessionTable::forget(const std::shared_ptr<Session>& session)
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

uintptr_t SessionTable::freeHandleValue() const
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

}  // namespace ostrel
