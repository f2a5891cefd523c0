// AgentRegistry: the process-wide table through which the Camera SDK callbacks, which carry
// no user data, find the device agents of a session handle.
//
// The table is kept twice over the same entries: by agent (for add and remove) and by
// session handle (for the walks), so that a notification costs time in the number of
// agents of its own session, not in the number of agents of the process.
//
// Thread-safety and locking: one mutex guards both indexes. A walk holds it only while it
// collects the agents of one handle and marks each as in use; the callbacks then run
// without it, so the callbacks of different cameras (and different threads of one camera)
// never wait for each other. remove() first takes the agent out of the session index, so
// that no new walk finds it, then waits until no walk uses it any more; once it returns no
// callback touches the agent, even if the Camera SDK later hands the agent's old session
// handle to another agent.
// A callback must not remove its own agent (it would wait for itself).

#pragma once

#include <condition_variable>
#include <functional>
#include <unordered_map>
#include <vector>

#include "port/mutex.h"

namespace nx::vms_server_plugins::analytics::sample
{

class DeviceAgent;

class AgentRegistry
{
public:
    AgentRegistry() = default;
    AgentRegistry(const AgentRegistry&) = delete;
    AgentRegistry& operator=(const AgentRegistry&) = delete;

    // Enters `agent` with its session handle; an agent already present keeps its entry.
    void add(DeviceAgent* agent, void* sessionHandle) EXCLUDES(m_mutex);

    // Takes `agent` out and waits for the walks that are using it to finish.
    // REQUIRES: no other remove() of `agent` runs at the same time.
    void remove(DeviceAgent* agent) EXCLUDES(m_mutex);

    // Calls `visit` once for every agent registered with `sessionHandle`, without holding
    // the lock. An exception from `visit` ends the walk and propagates.
    void forEachAgentOf(void* sessionHandle, const std::function<void(DeviceAgent*)>& visit)
        EXCLUDES(m_mutex);

    // The number of agents registered, those being removed included.
    int size() const EXCLUDES(m_mutex);

private:
    struct Entry
    {
        DeviceAgent* agent = nullptr;
        void* sessionHandle = nullptr;
        int walksInProgress = 0;
        bool removing = false;
    };

    // Marks the agents of `sessionHandle` as in use and returns them.
    std::vector<Entry*> beginWalk(void* sessionHandle) EXCLUDES(m_mutex);

    // Ends the use of `entries` and wakes a remover waiting for one of them.
    void endWalk(const std::vector<Entry*>& entries) EXCLUDES(m_mutex);

    // Takes `entry` out of the session index.
    void unindex(Entry* entry) REQUIRES(m_mutex);

    mutable korvane::port::Mutex m_mutex;
    std::condition_variable_any m_walkEnded;
    // Entries by agent. Pointers to the entries stay valid until they are erased, however
    // the map rehashes, so the session index and the walks hold them.
    std::unordered_map<DeviceAgent*, Entry> m_entries GUARDED_BY(m_mutex);
    // The entries that are not being removed, by session handle; no empty lists.
    std::unordered_map<void*, std::vector<Entry*>> m_entriesBySession GUARDED_BY(m_mutex);
};

// Enters `agent` with its session handle in `first`, then in `second`. When entering the
// second throws (a failed allocation), the first entry is undone before the exception goes
// on: an agent is in both registries or in neither.
void enterBoth(AgentRegistry* first, AgentRegistry* second, DeviceAgent* agent,
               void* sessionHandle);

// The registry walked by the alarm callback. Never destroyed, so that a late Camera SDK
// thread cannot meet a destroyed registry while the library unloads.
AgentRegistry& alarmRegistry();

// The registry walked by the structured-data callback; never destroyed either.
AgentRegistry& structuredDataRegistry();

}  // namespace nx::vms_server_plugins::analytics::sample
