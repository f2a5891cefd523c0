// Plugin: the frame of an analytics plugin object, implemented once for all plugins.
//
// Turns the host's calls into result records and calls the virtual operations that a
// concrete plugin overrides: manifestString() and doObtainEngine(). The host calls a
// plugin from one thread at a time; the frame takes no lock.

#pragma once

#include <functional>
#include <string>

#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk::analytics
{

class Plugin : public RefCountable<IPlugin>
{
public:
    using CreateEngine = std::function<IEngine*(Plugin*)>;

    void setHostObject(IRefCountable* hostObject) override;
    void getManifest(Result<const IString*>* outResult) const override;
    void doCreateEngine(Result<IEngine*>* outResult) override;

protected:
    Plugin();
    // Deprecated form: a fixed manifest and an engine factory replace the overrides.
    Plugin(std::string pluginManifest, CreateEngine createEngine);
    ~Plugin() override;

    // Creates the engine; the result carries one reference. Concrete plugins override it.
    virtual Result<IEngine*> doObtainEngine();

    // The plugin manifest JSON text. Concrete plugins override it.
    virtual std::string manifestString() const;

private:
    void printCreatedOrDestroyed(const char* what) const;

    const std::string m_pluginManifest;
    const CreateEngine m_createEngine;
    Ptr<IRefCountable> m_hostObject;
};

}  // namespace nx::sdk::analytics
