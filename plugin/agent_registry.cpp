#include "agent_registry.h"

#include <vector>

namespace nx::vms_server_plugins::analytics::sample
{

void AgentRegistry::add(DeviceAgent* agent, void* sessionHandle)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.emplace(agent, Entry{sessionHandle});
}

void AgentRegistry::remove(DeviceAgent* agent)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto it = m_entries.find(agent);
    if (it == m_entries.end())
        return;
    // A reference survives the rehashing that other agents' insertions may cause meanwhile;
    // an iterator would not.
    Entry& entry = it->second;
    entry.removing = true;
    m_walkEnded.wait(lock, [&]() { return entry.walksInProgress == 0; });
    m_entries.erase(agent);
}

void AgentRegistry::forEachAgentOf(void* sessionHandle,
                                   const std::function<void(DeviceAgent*)>& visit)
{
    std::vector<DeviceAgent*> agents;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& [agent, entry]: m_entries)
        {
            if (entry.sessionHandle == sessionHandle && !entry.removing)
            {
                ++entry.walksInProgress;
                agents.push_back(agent);
            }
        }
    }
    if (agents.empty())
        return;

    for (DeviceAgent* agent: agents)
        visit(agent);

    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (DeviceAgent* agent: agents)
            --m_entries.at(agent).walksInProgress;
    }
    m_walkEnded.notify_all();
}

int AgentRegistry::size() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_entries.size());
}

AgentRegistry& alarmRegistry()
{
    static auto* const registry = new AgentRegistry();
    return *registry;
}

AgentRegistry& structuredDataRegistry()
{
    static auto* const registry = new AgentRegistry();
    return *registry;
}

}  // namespace nx::vms_server_plugins::analytics::sample
