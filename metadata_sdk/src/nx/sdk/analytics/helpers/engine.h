// Engine: the frame of an analytics engine object, implemented once for all plugins.
//
// Turns the host's calls into result records, keeps the received settings and the host's
// handler, logs what it does, and calls the virtual operations that a concrete engine
// overrides: manifestString(), doObtainDeviceAgent(), settingsReceived(), executeAction().
// The host calls an engine from one thread at a time; only setHandler takes m_mutex.

#pragma once

#include <map>
#include <mutex>
#include <string>

#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

class Engine : public RefCountable<IEngine>
{
public:
    // Rebuilds the print prefix with the engine id of `engineInfo` (none when null).
    void setEngineInfo(const IEngineInfo* engineInfo) override;

    // Accumulates the settings, then answers with settingsReceived().
    void doSetSettings(Result<const ISettingsResponse*>* outResult,
                       const IStringMap* settings) override;

    // Does nothing: the engine holds no settings of its own.
    void getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const override;

    // A new String holding manifestString().
    void getManifest(Result<const IString*>* outResult) const override;

    // Every device is served.
    bool isCompatible(const IDeviceInfo* deviceInfo) const override;

    // Creates the device agent for one camera; concrete engines implement it.
    void doObtainDeviceAgent(Result<IDeviceAgent*>* outResult,
                             const IDeviceInfo* deviceInfo) override = 0;

    // Logs the action and answers with executeAction().
    void doExecuteAction(Result<IActionResult*>* outResult, const IAction* action) override;

    // Keeps a reference to `handler` and releases the previous one, under m_mutex.
    void setHandler(IEngineHandler* handler) override;

    // Does nothing: no setting of this engine is marked active.
    void doGetSettingsOnActiveSettingChange(Result<const ISettingsResponse*>* outResult,
                                            const IStringMap* settings) override;

protected:
    // `enableOutput` switches on the verbose lines.
    explicit Engine(bool enableOutput);
    ~Engine() override;

    // The engine manifest JSON text.
    virtual std::string manifestString() const = 0;

    // Called after each settings delivery; the default answers no error and no response.
    virtual Result<const ISettingsResponse*> settingsReceived();

    // Executes one action; the default answers no error, no URL and no message.
    virtual Result<IActionResult*> executeAction(const std::string& actionId,
                                                 const Uuid& objectTrackId, const Uuid& deviceId,
                                                 int64_t timestampUs,
                                                 IObjectTrackInfo* objectTrackInfo,
                                                 const std::map<std::string, std::string>& params);

    // A copy of the settings received so far.
    std::map<std::string, std::string> currentSettings() const { return m_settings; }

    // The prefix that starts every line of this engine.
    const std::string& printPrefix() const { return m_printPrefix; }

private:
    // Prints the verbose block that describes `action`.
    void printAction(const IAction* action) const;

    const bool m_enableOutput;
    std::string m_printPrefix;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_settings;
    Ptr<IEngineHandler> m_handler;
};

}  // namespace nx::sdk::analytics
