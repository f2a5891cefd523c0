// One device agent on one simulated camera, shared by every input of a fuzz target.
//
// The agent's diagnostics are dropped: they are many and would slow the fuzzing down.
// checkBalanced() traps when an input left host objects alive or destroyed one twice.
// Single-threaded: libFuzzer feeds one input at a time.

#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/ptr.h>
#include <ostrel_control.h>

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

// The agent, created on first use with every object type enabled.
FuzzAgent& fuzzAgent();

// Sends settings to the agent.
void sendSettings(const std::map<std::string, std::string>& settings);

// Pushes one compressed frame.
void pushFrame(int64_t timestampUs);

// Traps unless the host tally is back to what it was after set-up.
void checkBalanced();

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
