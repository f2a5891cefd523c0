// PluginSession: the server's side of one run of the plugin library, shared by the
// scenario mode and the watch mode of the command-line host: the plugin and its engine,
// the device agents bound to cameras, and the report of everything they deliver.
//
// Not thread-safe: one host thread drives a session. The agents' handlers may be called on
// the cameras' threads; reportDeliveries() takes what they collected.

#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <nx/kit/json.h>
#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/ptr.h>

#include "host/cli/report.h"
#include "host/cli/settings_model.h"
#include "host/device_agent_handler.h"
#include "host/device_info.h"
#include "host/plugin_library.h"

namespace korvane::host::cli
{

// The device agent of one camera, with the handler the host installed.
struct BoundAgent
{
    std::string camera;  //< The name the report gives the camera.
    nx::sdk::Ptr<nx::sdk::analytics::IConsumingDeviceAgent> agent;
    nx::sdk::Ptr<DeviceAgentHandler> handler;
    size_t manifestsSeen = 0;
    int events = 0;   //< Events reported so far.
    int objects = 0;  //< Objects reported so far.
};

class PluginSession
{
public:
    PluginSession(const PluginLibrary& library, Report* report);
    ~PluginSession();

    // Creates the plugin and reports its manifest (name, version, the SDK version of the
    // library); false, with an error reported, when the plugin is refused.
    bool startPlugin();

    // startPlugin(), then creates the engine and reports its manifest; false, with an error
    // reported, when the plugin or the engine is refused.
    bool start();

    // The engine manifest, parsed; null before start().
    const nx::kit::Json& engineManifest() const { return m_engineManifest; }

    // Obtains the agent of `device`, installs a handler and reads the agent's manifest,
    // reporting "connected"; false with `*errorText` set when the engine refuses.
    bool bind(int64_t atMs, const DeviceDescription& device, BoundAgent* bound,
              std::string* errorText);

    // Sends `values` as the agent's settings and reports them, in text as `summary` when it
    // is not empty (a whole settings page is long); false with `*errorText` set to the
    // agent's error result when it answers with one.
    bool sendSettings(int64_t atMs, const BoundAgent& bound, const Settings& values,
                      std::string* errorText, const std::string& summary = std::string());

    // Asks the agent for its plugin-side settings and reports them; false with `*errorText`
    // set when the agent refuses. `values` may be null.
    bool readSettings(int64_t atMs, const BoundAgent& bound, Settings* values,
                      std::string* errorText);

    // Reports every packet and manifest the agent delivered since the last call.
    void reportDeliveries(int64_t atMs, BoundAgent* bound);

    // Finalizes and releases the agent and its handler.
    static void release(BoundAgent* bound);

    // Releases the engine and the plugin. REQUIRES: every agent was released.
    void stop();

private:
    void reportRecord(int64_t atMs, BoundAgent* bound, const MetadataRecord& record);

    // A stable number for a track id, in order of first appearance.
    int trackNumber(const nx::sdk::Uuid& trackId);

    const PluginLibrary& m_library;
    Report* const m_report;
    nx::sdk::Ptr<nx::sdk::analytics::IPlugin> m_plugin;
    nx::sdk::Ptr<nx::sdk::analytics::IEngine> m_engine;
    nx::kit::Json m_engineManifest;
    std::map<std::string, int> m_trackNumbers;
};

// The text of a failed result's error code and message, releasing the message.
std::string errorText(nx::sdk::Error* error);

}  // namespace korvane::host::cli
