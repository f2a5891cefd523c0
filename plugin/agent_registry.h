// AgentRegistry: the process-wide table through which the Camera SDK callbacks, which carry
// no user data, find the device agents of a session handle.
//
// Thread-safety and locking: one mutex guards the table. A walk holds it only while it
// collects the matching agents and marks each as in use; the callbacks then run without it,
// so the callbacks of different cameras (and different threads of one camera) never wait
// for each other. remove() first hides the agent from new walks, then waits until no walk
// uses it any more, so once it returns no callback touches the agent, even if the Camera SDK
// later hands the agent's old session handle to another agent.
// A callback must not remove its own agent (it would wait for itself).

#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <unordered_map>

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
    void add(DeviceAgent* agent, void* sessionHandle);

    // Takes `agent` out and waits for the walks that are using it to finish.
    void remove(DeviceAgent* agent);

    // Calls `visit` for every agent registered with `sessionHandle`, without holding the lock.
    void forEachAgentOf(void* sessionHandle, const std::function<void(DeviceAgent*)>& visit);

    // The number of agents registered.
    int size() const;

private:
    struct Entry
    {
        void* sessionHandle = nullptr;
        int walksInProgress = 0;
        bool removing = false;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_walkEnded;
    std::unordered_map<DeviceAgent*, Entry> m_entries;
};

// The registry walked by the alarm callback. Never destroyed, so that a late Camera SDK
// thread cannot meet a destroyed registry while the library unloads.
AgentRegistry& alarmRegistry();

// The registry walked by the structured-data callback; never destroyed either.
AgentRegistry& structuredDataRegistry();

}  // namespace nx::vms_server_plugins::analytics::sample
