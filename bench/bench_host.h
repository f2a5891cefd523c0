// BenchHost: a minimal server for the benchmarks and the soak run. It loads the plugin
// library, makes one plugin and one engine, adds simulated cameras to the Camera SDK
// stand-in and obtains device agents whose handler only counts what arrives, so that the
// host's own cost (copying packets, keeping records) stays out of the figures.
//
// Thread-safety: a BenchHost is used by one thread. CountingHandler may be called from any
// thread; its counters are atomics. The diagnostics and memory helpers are plain functions.

#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_device_agent.h>
#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/ptr.h>

#include <nx/sdk/ref_countable.h>
#include "host/process_memory.h"
#include "ostrel_sdk/ostrel_control.h"

#include "host/plugin_library.h"

namespace korvane::bench
{

// Counts the packets, events and objects that one agent delivers; keeps nothing.
class CountingHandler final : public nx::sdk::RefCountable<nx::sdk::analytics::IDeviceAgentHandler>
{
public:
    CountingHandler() = default;

    void handleMetadata(nx::sdk::analytics::IMetadataPacket* metadataPacket) override;
    void handlePluginDiagnosticEvent(const char* level, const char* caption,
                                     const char* description) override;
    void pushManifest(const nx::sdk::IString* manifest) override;

    // Event packets received so far.
    int64_t eventPackets() const { return m_eventPackets.load(); }

    // Object packets received so far.
    int64_t objectPackets() const { return m_objectPackets.load(); }

    // Events (items of event packets) received so far.
    int64_t events() const { return m_events.load(); }

    // Objects (items of object packets) received so far.
    int64_t objects() const { return m_objects.load(); }

    // Manifests pushed so far.
    int64_t manifests() const { return m_manifests.load(); }

private:
    ~CountingHandler() override = default;

    std::atomic<int64_t> m_eventPackets{0};
    std::atomic<int64_t> m_objectPackets{0};
    std::atomic<int64_t> m_events{0};
    std::atomic<int64_t> m_objects{0};
    std::atomic<int64_t> m_manifests{0};
};

// One device agent with its counting handler.
struct BenchAgent
{
    nx::sdk::Ptr<nx::sdk::analytics::IConsumingDeviceAgent> agent;
    nx::sdk::Ptr<CountingHandler> handler;
};

class BenchHost
{
public:
    static constexpr const char* kLogin = "admin";
    static constexpr const char* kPassword = "secret";

    // Resets the Camera SDK stand-in and creates the plugin and the engine; ok() tells
    // whether that worked.
    BenchHost();

    // Finalizes and releases every agent, then the engine and the plugin, and resets the
    // stand-in.
    ~BenchHost();

    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    // False when the library could not be loaded or refused a plugin or an engine.
    bool ok() const { return m_engine != nullptr; }

    // Adds camera `index` (address 10.<index / 250>.<index % 250>.1, port 8000) with one
    // channel 0 configured as `channel`.
    ostrel::control::CameraId addCamera(int index, const ostrel::control::ChannelConfig& channel);

    // Obtains an agent for camera `index` and installs a counting handler; the agent is
    // null when the engine refused. The agent stays owned by the host until destruction.
    BenchAgent obtainAgent(int index);

    // The engine. REQUIRES: ok().
    nx::sdk::analytics::IEngine* engine() const { return m_engine.get(); }

    // The plugin. REQUIRES: ok().
    nx::sdk::analytics::IPlugin* plugin() const { return m_plugin.get(); }

    // Finalizes and releases every agent obtained so far.
    void releaseAgents();

private:
    nx::sdk::Ptr<nx::sdk::analytics::IPlugin> m_plugin;
    nx::sdk::Ptr<nx::sdk::analytics::IEngine> m_engine;
    std::vector<BenchAgent> m_agents;
};

// The plugin library built with this tree, opened on the first call; null (with a line on
// standard output) when it cannot be opened.
const host::PluginLibrary* benchPluginLibrary();

// Sends one settings delivery to `agent` and releases what comes back.
void setSettings(nx::sdk::analytics::IConsumingDeviceAgent* agent,
                 const nx::sdk::IStringMap* settings);

// The settings that switch every object type and event generation on.
std::map<std::string, std::string> objectSettings();

// A channel with all four smart-rule kinds supported (capability values 1), four rules of
// each kind stored, all switched on and allowed to run together.
ostrel::control::ChannelConfig ruleChannel();

// The object settings plus a settings page with four rules of every kind filled in and
// every rule switch on.
std::map<std::string, std::string> ruleSettings();

// Asks `agent` for its plugin-side settings; the number of values in the response (0 when
// there is none). Releases what comes back.
int readPluginSideSettings(const nx::sdk::analytics::IConsumingDeviceAgent* agent);

// Pushes one compressed video frame stamped `timestampUs`; false when the push failed.
bool pushFrame(nx::sdk::analytics::IConsumingDeviceAgent* agent, int64_t timestampUs);

// A structured record of one face, one person and one vehicle with a plate, built once so
// that delivering it costs the stand-in no copying; `variant` varies the attribute codes and
// the plate text. The arrays live as long as the object, which must not be moved.
class RawBatch
{
public:
    explicit RawBatch(int variant = 0);
    RawBatch(const RawBatch&) = delete;
    RawBatch& operator=(const RawBatch&) = delete;

    // The record to pass to the stand-in's raw delivery.
    const OstrelStructuredRecord* record() const { return &m_record; }

private:
    OstrelFaceRecord m_face;
    OstrelPersonRecord m_person;
    OstrelVehicleRecord m_vehicle;
    OstrelStructuredRecord m_record;
};

// Points the process's standard error stream (file descriptor 2), where the plugin prints
// its diagnostics, at /dev/null. Returns false when that failed.
bool silenceDiagnostics();

using korvane::host::residentBytes;

}  // namespace korvane::bench
