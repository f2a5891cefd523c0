// IPlugin: the root object of a plugin library, as returned by createNxPlugin.
//
// The host calls it from one thread at a time.

#pragma once

#include <nx/sdk/i_string.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/result.h>

namespace nx::sdk
{

class IPlugin : public Interface<IPlugin>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::IPlugin"; }

    // Gives the plugin the host's object; the plugin keeps a reference for its lifetime.
    virtual void setHostObject(IRefCountable* hostObject) = 0;

    // The plugin manifest (JSON text) as a new string with one reference.
    virtual void getManifest(Result<const IString*>* outResult) const = 0;

protected:
    ~IPlugin() = default;
};

}  // namespace nx::sdk
