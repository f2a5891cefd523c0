#include "engine_handler.h"

namespace korvane::host
{

void EngineHandler::handlePluginDiagnosticEvent(const char* level, const char* caption,
                                                const char* description)
{
    const auto text = [](const char* value) { return std::string(value ? value : ""); };
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_diagnosticEvents.push_back({text(level), text(caption), text(description)});
}

std::vector<DiagnosticEvent> EngineHandler::diagnosticEvents() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_diagnosticEvents;
}

}  // namespace korvane::host
