// DeviceAgentHandler: the host's receiver of what one device agent produces.
//
// Copies every metadata packet, manifest and diagnostic event it is given. Safe to call
// from any thread; the readers may run on other threads at the same time. It also counts
// handleMetadata calls that overlap in time, which must never happen for one agent.

#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include <nx/sdk/analytics/i_device_agent.h>
#include <nx/sdk/ref_countable.h>

#include "host/metadata_record.h"

namespace korvane::host
{

// A diagnostic event as the plugin reported it.
struct DiagnosticEvent
{
    std::string level;
    std::string caption;
    std::string description;
};

// The event the plugin reported with these texts; null texts count as empty.
DiagnosticEvent diagnosticEventOf(const char* level, const char* caption, const char* description);

class DeviceAgentHandler final
    : public nx::sdk::RefCountable<nx::sdk::analytics::IDeviceAgentHandler>
{
public:
    DeviceAgentHandler() = default;

    void handleMetadata(nx::sdk::analytics::IMetadataPacket* metadataPacket) override;
    void handlePluginDiagnosticEvent(const char* level, const char* caption,
                                     const char* description) override;
    void pushManifest(const nx::sdk::IString* manifest) override;

    // The packets received and not taken yet, in arrival order.
    std::vector<MetadataRecord> records() const;

    // The packets received and not taken yet, in arrival order; forgets them.
    std::vector<MetadataRecord> takeRecords();

    // The number of packets received so far, taken ones and null ones included.
    int recordCount() const;

    // Waits until recordCount() is at least `count`; false on timeout.
    bool waitForRecords(int count, std::chrono::milliseconds timeout) const;

    // Every manifest pushed and not taken yet.
    std::vector<std::string> manifests() const;

    // Every manifest pushed and not taken yet; forgets them, so that a long run (a fuzz
    // target) does not keep every manifest it was ever sent.
    std::vector<std::string> takeManifests();

    // Every diagnostic event so far.
    std::vector<DiagnosticEvent> diagnosticEvents() const;

    // The number of handleMetadata calls that began while another was running.
    int overlapCount() const { return m_overlaps.load(); }

    // The number of null packets received.
    int nullPacketCount() const;

private:
    ~DeviceAgentHandler() override = default;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<MetadataRecord> m_records;
    int m_received = 0;
    int m_nullPackets = 0;
    std::vector<std::string> m_manifests;
    std::vector<DiagnosticEvent> m_diagnosticEvents;
    std::atomic<bool> m_inHandler{false};
    std::atomic<int> m_overlaps{0};
};

}  // namespace korvane::host
