#include "device_agent_handler.h"

#include <thread>
#include <utility>

#include "host/string_maps.h"

namespace korvane::host
{

DiagnosticEvent diagnosticEventOf(const char* level, const char* caption, const char* description)
{
    return {textOrEmpty(level), textOrEmpty(caption), textOrEmpty(description)};
}

void DeviceAgentHandler::handleMetadata(nx::sdk::analytics::IMetadataPacket* metadataPacket)
{
    if (m_inHandler.exchange(true))
        ++m_overlaps;
    std::this_thread::yield();  //< Widens the window in which an overlap would show.
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_received;
        if (metadataPacket)
            m_records.push_back(recordOf(metadataPacket));
        else
            ++m_nullPackets;
    }
    m_inHandler.store(false);
    m_arrived.notify_all();
}

void DeviceAgentHandler::handlePluginDiagnosticEvent(const char* level, const char* caption,
                                                     const char* description)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_diagnosticEvents.push_back(diagnosticEventOf(level, caption, description));
}

void DeviceAgentHandler::pushManifest(const nx::sdk::IString* manifest)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_manifests.push_back(manifest ? textOrEmpty(manifest->str()) : "");
}

std::vector<MetadataRecord> DeviceAgentHandler::records() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_records;
}

std::vector<MetadataRecord> DeviceAgentHandler::takeRecords()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_records, {});
}

int DeviceAgentHandler::recordCount() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

bool DeviceAgentHandler::waitForRecords(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&]() { return m_received >= count; });
}

std::vector<std::string> DeviceAgentHandler::manifests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_manifests;
}

std::vector<std::string> DeviceAgentHandler::takeManifests()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_manifests, {});
}

std::vector<DiagnosticEvent> DeviceAgentHandler::diagnosticEvents() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_diagnosticEvents;
}

int DeviceAgentHandler::nullPacketCount() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_nullPackets;
}

}  // namespace korvane::host
