// EngineHandler: the host's receiver of what an engine reports. Records the diagnostic
// events; safe to call from any thread.

#pragma once

#include <mutex>
#include <vector>

#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/ref_countable.h>

#include "host/device_agent_handler.h"

namespace korvane::host
{

class EngineHandler final : public nx::sdk::RefCountable<nx::sdk::analytics::IEngineHandler>
{
public:
    EngineHandler() = default;

    void handlePluginDiagnosticEvent(const char* level, const char* caption,
                                     const char* description) override;

    // Every diagnostic event so far.
    std::vector<DiagnosticEvent> diagnosticEvents() const;

private:
    ~EngineHandler() override = default;

    mutable std::mutex m_mutex;
    std::vector<DiagnosticEvent> m_diagnosticEvents;
};

}  // namespace korvane::host
