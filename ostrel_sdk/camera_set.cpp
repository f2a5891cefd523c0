// The simulated cameras, each with its delivery queue and delivery thread.

#include "ostrel_sdk/camera_set.h"

#include <chrono>

namespace ostrel
{

using control::CameraId;
using control::ChannelConfig;

CameraId CameraSet::add(const control::CameraConfig& config)
{
    auto camera = std::make_shared<Camera>();
    camera->config = config;
    const CameraId id = m_nextCamera++;
    m_cameras[id] = camera;
    if (m_shutDown)
        camera->stopping = true;  // at exit: no thread, no asynchronous delivery
    else
        camera->worker = std::thread(&CameraSet::runWorker, this, camera, id);
    return id;
}

std::vector<std::thread> CameraSet::remove(CameraId camera)
{
    std::vector<std::thread> threads;
    const auto it = m_cameras.find(camera);
    if (it == m_cameras.end())
        return threads;
    stop(*it->second, &threads);
    m_cameras.erase(it);
    m_deliveryDone.notify_all();  // wakes the camera's waiters
    return threads;
}

std::vector<std::thread> CameraSet::clear()
{
    std::vector<std::thread> threads = stopAll();
    m_cameras.clear();
    return threads;
}

std::vector<std::thread> CameraSet::shutDown()
{
    m_shutDown = true;
    return stopAll();
}

Camera* CameraSet::find(CameraId camera)
{
    const auto it = m_cameras.find(camera);
    return it == m_cameras.end() ? nullptr : it->second.get();
}

Camera* CameraSet::findAt(const std::string& address, int32_t port, CameraId* id)
{
    for (const auto& [cameraId, camera] : m_cameras)
    {
        if (camera->config.address != address || camera->config.port != port)
            continue;
        *id = cameraId;
        return camera.get();
    }
    return nullptr;
}

void CameraSet::setChannel(CameraId camera, int32_t channel, const ChannelConfig& config)
{
    if (Camera* target = find(camera))
        target->config.channels[channel] = config;
}

ChannelConfig CameraSet::channelState(CameraId camera, int32_t channel)
{
    const Camera* target = find(camera);
    if (!target)
        return ChannelConfig{};
    const auto found = target->config.channels.find(channel);
    return found == target->config.channels.end() ? ChannelConfig{} : found->second;
}

uint64_t CameraSet::enqueue(CameraId camera, std::unique_ptr<Delivery> delivery)
{
    Camera* target = find(camera);
    if (!target || target->stopping)
        return 0;
    target->queue.push_back(std::move(delivery));
    target->wake.notify_one();
    ++target->queuedTickets;
    if (target->away)
        target->droppedTickets = target->queuedTickets;
    return target->queuedTickets;
}

void CameraSet::takeAway(CameraId camera)
{
    Camera* target = find(camera);
    if (!target)
        return;
    target->away = true;
    target->droppedTickets = target->queuedTickets;
}

void CameraSet::bringBack(CameraId camera, bool rebooted)
{
    Camera* target = find(camera);
    if (!target)
        return;
    target->away = false;
    if (rebooted)
        m_sessions.endSessionsOf(camera);
}

bool CameraSet::isAway(CameraId camera)
{
    const Camera* target = find(camera);
    return target && target->away;
}

bool CameraSet::lastTicket(CameraId camera, uint64_t* ticket)
{
    const Camera* target = find(camera);
    if (!target)
        return false;
    *ticket = target->queuedTickets;
    return true;
}

bool CameraSet::waitForDelivery(CameraId camera, uint64_t ticket, int timeoutMs)
{
    const auto it = m_cameras.find(camera);
    if (it == m_cameras.end() || ticket == 0)
        return false;
    // Held here, so that the camera outlives its removal while this thread waits.
    const std::shared_ptr<Camera> target = it->second;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!target->stopping && target->handledTickets < ticket)
    {
        if (m_deliveryDone.wait_until(simulatorMutex(), deadline) == std::cv_status::timeout)
            break;
    }
    return target->handledTickets >= ticket;
}

void CameraSet::runWorker(std::shared_ptr<Camera> camera, CameraId id)
{
    port::MutexLock lock(&simulatorMutex());
    for (;;)
    {
        while (!camera->stopping && camera->queue.empty())
            camera->wake.wait(simulatorMutex());
        if (camera->stopping)
            return;
        std::unique_ptr<Delivery> delivery = std::move(camera->queue.front());
        camera->queue.pop_front();
        // Tickets are handled in the order they were handed out.
        if (camera->handledTickets + 1 > camera->droppedTickets)
            m_sessions.runCallbacks(id, *delivery);
        ++camera->handledTickets;
        m_deliveryDone.notify_all();
    }
}

std::vector<std::thread> CameraSet::stopAll()
{
    std::vector<std::thread> threads;
    for (const auto& entry : m_cameras)
        stop(*entry.second, &threads);
    m_deliveryDone.notify_all();  // wakes the cameras' waiters
    return threads;
}

void CameraSet::stop(Camera& camera, std::vector<std::thread>* threads)
{
    camera.stopping = true;
    camera.queue.clear();
    camera.wake.notify_all();
    if (camera.worker.joinable())
        threads->push_back(std::move(camera.worker));
}

}  // namespace ostrel
