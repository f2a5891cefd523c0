#include "agent_registry.h"

#include <algorithm>

#include <nx/kit/immortal.h>

namespace nx::vms_server_plugins::analytics::sample
{

void AgentRegistry::add(DeviceAgent* agent, void* sessionHandle)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto [it, inserted] = m_entries.emplace(agent, Entry{agent, sessionHandle});
    if (!inserted)
        return;
    try
    {
        m_entriesBySession[sessionHandle].push_back(&it->second);
    }
    catch (...)
    {
        m_entries.erase(it);  // An entry that no walk can find must not stay behind.
        throw;
    }
}

void AgentRegistry::remove(DeviceAgent* agent)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto it = m_entries.find(agent);
    if (it == m_entries.end())
        return;
    Entry& entry = it->second;
    entry.removing = true;
    unindex(&entry);
    while (entry.walksInProgress != 0)
        m_walkEnded.wait(m_mutex);
    m_entries.erase(agent);
}

void AgentRegistry::unindex(Entry* entry)
{
    const auto it = m_entriesBySession.find(entry->sessionHandle);
    if (it == m_entriesBySession.end())
        return;
    std::vector<Entry*>& entries = it->second;
    const auto found = std::find(entries.begin(), entries.end(), entry);
    if (found != entries.end())
        entries.erase(found);
    if (entries.empty())
        m_entriesBySession.erase(it);
}

void AgentRegistry::forEachAgentOf(void* sessionHandle,
                                   const std::function<void(DeviceAgent*)>& visit)
{
    const std::vector<Entry*> entries = beginWalk(sessionHandle);
    if (entries.empty())
        return;
    try
    {
        for (const Entry* entry : entries)
            visit(entry->agent);
    }
    catch (...)
    {
        // Without this an agent would stay marked in use and its destructor would wait
        // for ever.
        endWalk(entries);
        throw;
    }
    endWalk(entries);
}

std::vector<AgentRegistry::Entry*> AgentRegistry::beginWalk(void* sessionHandle)
{
    const korvane::port::MutexLock lock(&m_mutex);
    const auto it = m_entriesBySession.find(sessionHandle);
    if (it == m_entriesBySession.end())
        return {};
    std::vector<Entry*> entries = it->second;  // copied before any mark, in case it throws
    for (Entry* entry : entries)
        ++entry->walksInProgress;
    return entries;
}

void AgentRegistry::endWalk(const std::vector<Entry*>& entries)
{
    bool removerWaits = false;
    {
        const korvane::port::MutexLock lock(&m_mutex);
        for (Entry* entry : entries)
        {
            --entry->walksInProgress;
            removerWaits = removerWaits || entry->removing;
        }
    }
    // A remover marks its entry under the mutex before it waits, so an entry seen here
    // without the mark has no remover to wake.
    if (removerWaits)
        m_walkEnded.notify_all();
}

int AgentRegistry::size() const
{
    const korvane::port::MutexLock lock(&m_mutex);
    return static_cast<int>(m_entries.size());
}

void enterBoth(AgentRegistry* first, AgentRegistry* second, DeviceAgent* agent, void* sessionHandle)
{
    first->add(agent, sessionHandle);
    try
    {
        second->add(agent, sessionHandle);
    }
    catch (...)
    {
        first->remove(agent);
        throw;
    }
}

AgentRegistry& alarmRegistry()
{
    static auto* const registry = nx::kit::makeImmortal(new AgentRegistry());
    return *registry;
}

AgentRegistry& structuredDataRegistry()
{
    static auto* const registry = nx::kit::makeImmortal(new AgentRegistry());
    return *registry;
}

}  // namespace nx::vms_server_plugins::analytics::sample
