// analytics::IPlugin: an analytics plugin; creates the engine on the host's request.

#pragma once

#include <nx/sdk/i_plugin.h>

namespace nx::sdk::analytics
{

class IEngine;

class IPlugin : public Interface<IPlugin, nx::sdk::IPlugin>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IPlugin"; }

    // Creates a new engine; the result carries one reference.
    virtual void doCreateEngine(Result<IEngine*>* outResult) = 0;

protected:
    ~IPlugin() = default;
};

}  // namespace nx::sdk::analytics
