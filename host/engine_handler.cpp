#include "engine_handler.h"

namespace korvane::host
{

void EngineHandler::handlePluginDiagnosticEvent(const char* level, const char* caption,
                                                const char* description)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_diagnosticEvents.push_back(diagnosticEventOf(level, caption, description));
}

std::vector<DiagnosticEvent> EngineHandler::diagnosticEvents() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_diagnosticEvents;
}

}  // namespace korvane::host
