// Engine: the Korvane analytics engine; creates one DeviceAgent per camera.
//
// Called by the host from one thread at a time.

#pragma once

#include <nx/sdk/analytics/helpers/engine.h>

namespace nx::vms_server_plugins::analytics::sample
{

class Engine final : public nx::sdk::analytics::Engine
{
public:
    Engine();

    // Creates the DeviceAgent of one camera. A null `deviceInfo` or a failed construction
    // (a malformed camera URL) gives an "invalidParams" error and no agent; nothing is thrown.
    void doObtainDeviceAgent(nx::sdk::Result<nx::sdk::analytics::IDeviceAgent*>* outResult,
                             const nx::sdk::IDeviceInfo* deviceInfo) override;

protected:
    std::string manifestString() const override;

private:
    ~Engine() override = default;

    // Sets `outResult` to an "invalidParams" error with `message` and prints the error line.
    void failDeviceAgent(nx::sdk::Result<nx::sdk::analytics::IDeviceAgent*>* outResult,
                         const std::string& message) const;
};

}  // namespace nx::vms_server_plugins::analytics::sample
