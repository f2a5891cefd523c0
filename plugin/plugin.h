// Plugin: the Korvane analytics plugin object that createNxPlugin returns.
//
// Called by the host from one thread at a time.

#pragma once

#include <nx/sdk/analytics/helpers/plugin.h>

namespace nx::vms_server_plugins::analytics::sample
{

class Plugin final : public nx::sdk::analytics::Plugin
{
public:
    Plugin() = default;

protected:
    // A new Engine, with no error.
    nx::sdk::Result<nx::sdk::analytics::IEngine*> doObtainEngine() override;

    // The plugin manifest: the plugin's id, name, description, version and vendor.
    std::string manifestString() const override;

private:
    ~Plugin() override = default;
};

}  // namespace nx::vms_server_plugins::analytics::sample
