// Engine: the Korvane analytics engine; creates one DeviceAgent per camera.
//
// It holds the process's SessionKeeper, whose threads keep the agents' camera sessions up,
// so that they belong to an object the host releases (the agents hold it too).
//
// Called by the host from one thread at a time.

#pragma once

#include <memory>

#include <nx/sdk/analytics/helpers/engine.h>

#include "session_keeper.h"

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

    const std::shared_ptr<SessionKeeper> m_sessionKeeper;

    // Sets `outResult` to an "invalidParams" error with `message` and prints the error line.
    void failDeviceAgent(nx::sdk::Result<nx::sdk::analytics::IDeviceAgent*>* outResult,
                         const std::string& message) const;
};

}  // namespace nx::vms_server_plugins::analytics::sample
