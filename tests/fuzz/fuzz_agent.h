// Device agents on one simulated camera for the fuzz targets: one long-lived agent shared
// by every input (fuzzAgent()), or a new agent per input (newFuzzAgent()) for a target
// whose inputs would otherwise leave state in the agent for the next ones.
//
// The agents' diagnostics are dropped: they are many and would slow the fuzzing down.
// checkBalanced() traps when an input left host objects alive or destroyed one twice.
// Single-threaded: libFuzzer feeds one input at a time.

#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ptr.h>
#include "ostrel_sdk/ostrel_control.h"

#include "host/device_agent_handler.h"

namespace korvane::fuzz
{

struct FuzzAgent
{
    ostrel::control::CameraId camera = 0;
    nx::sdk::Ptr<nx::sdk::analytics::IConsumingDeviceAgent> agent;
    nx::sdk::Ptr<host::DeviceAgentHandler> handler;
    int liveObjects = 0;  //< The host tally once the agent is set up.
};

// The long-lived agent, created on first use with every object type enabled.
FuzzAgent& fuzzAgent();

// Creates the camera and the engine that the agents are made with, unless they exist.
void prepareFuzzCamera();

// A new agent on the fuzz camera with a recording handler, sent no settings yet; its
// liveObjects is the tally before it was made. Traps when the engine refuses it.
FuzzAgent newFuzzAgent();

// Sends settings to `agent`; traps unless the delivery is accepted or answered with
// otherError (settings the camera cannot take).
void sendSettings(const FuzzAgent& agent, const std::map<std::string, std::string>& settings);
// The same with the host's string map itself. REQUIRES: settings != nullptr.
void sendSettingsMap(const FuzzAgent& agent, const nx::sdk::IStringMap* settings);

// Pushes one compressed frame into `agent`.
void pushFrame(const FuzzAgent& agent, int64_t timestampUs);

// Forgets the packets and manifests the long-lived agent received; traps unless the host
// tally is back to what it was after set-up.
void checkBalanced();

// Traps unless the host tally is `expected` and no object was destroyed twice.
void requireLiveObjects(int expected);

// Traps when `condition` is false; fuzz invariants must hold in every build type.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Reads fixed-size values off the front of a fuzz input; zeros once it is used up.
class InputReader
{
public:
    InputReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T take()
    {
        T value{};
        const size_t count = sizeof(T) < m_size ? sizeof(T) : m_size;
        __builtin_memcpy(&value, m_data, count);
        m_data += count;
        m_size -= count;
        return value;
    }

    // Up to `maxSize` bytes as text; stops at the end of the input.
    std::string takeText(size_t maxSize)
    {
        const size_t length = take<uint8_t>() % (maxSize + 1);
        const size_t count = length < m_size ? length : m_size;
        std::string text(reinterpret_cast<const char*>(m_data), count);
        m_data += count;
        m_size -= count;
        return text;
    }

    bool empty() const { return m_size == 0; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

}  // namespace korvane::fuzz
