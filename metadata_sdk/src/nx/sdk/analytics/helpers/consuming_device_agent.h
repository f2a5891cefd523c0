// ConsumingDeviceAgent: the frame of a device agent that consumes the host's data packets,
// implemented once for all plugins.
//
// Keeps the received settings and the host's handler, routes each data packet to the
// matching virtual hook, delivers metadata packets to the handler and logs what it does.
// The host calls an agent from one thread at a time. pushMetadataPacket may be called
// from any thread at any time after construction: m_mutex guards the handler and
// serialises every delivery to it, so deliveries of one agent never overlap. The settings
// are written and read on the host's settings path only, without a lock.

#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_video_packets.h>
#include <nx/sdk/i_device_info.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk::analytics
{

class ConsumingDeviceAgent : public RefCountable<IConsumingDeviceAgent>
{
public:
    // Accumulates the settings, then answers with settingsReceived().
    void doSetSettings(Result<const ISettingsResponse*>* outResult,
                       const IStringMap* settings) override;

    // Does nothing: the result stays as the host initialised it.
    void getPluginSideSettings(Result<const ISettingsResponse*>* outResult) const override;

    // A new String holding manifestString().
    void getManifest(Result<const IString*>* outResult) const override;

    // Keeps a reference to `handler` and releases the previous one, under m_mutex.
    void setHandler(IDeviceAgentHandler* handler) override;

    // Routes one data packet to its hook, then delivers what pullMetadataPackets() yields.
    void doPushDataPacket(Result<void>* outResult, IDataPacket* dataPacket) override;

    // Logs the call; the host releases the agent afterwards.
    void finalize() override;

    // Does nothing: no setting of this agent is marked active.
    void doGetSettingsOnActiveSettingChange(Result<const ISettingsResponse*>* outResult,
                                            const IStringMap* settings) override;

protected:
    // An empty `printPrefix` gives "[<library name>_device_<device id>] "; a non-empty one
    // is used as it is. A null `deviceInfo` is reported as an assertion failure.
    ConsumingDeviceAgent(const IDeviceInfo* deviceInfo, bool enableOutput,
                         std::string printPrefix = std::string());
    ~ConsumingDeviceAgent() override;

    // The device-agent manifest JSON text.
    virtual std::string manifestString() const = 0;

    // Hook for a compressed video packet; false makes doPushDataPacket fail.
    virtual bool pushCompressedVideoFrame(const ICompressedVideoPacket* videoPacket);

    // Hook for an uncompressed video frame; false makes doPushDataPacket fail.
    virtual bool pushUncompressedVideoFrame(const IUncompressedVideoFrame* videoFrame);

    // Hook for a custom metadata packet; false makes doPushDataPacket fail.
    virtual bool pushCustomMetadataPacket(const ICustomMetadataPacket* customMetadataPacket);

    // Appends packets to deliver after each data packet; each carries one reference that
    // passes to the frame. The default adds nothing; false makes doPushDataPacket fail.
    virtual bool pullMetadataPackets(std::vector<IMetadataPacket*>* metadataPackets);

    // Called after each settings delivery; the default answers no error and no response.
    virtual Result<const ISettingsResponse*> settingsReceived();

    // Delivers one packet to the handler under m_mutex and releases it; the caller's
    // reference passes to the frame. Safe to call from any thread.
    void pushMetadataPacket(IMetadataPacket* metadataPacket);

    // Sends a new manifest to the handler; nothing is sent when no handler is installed.
    void pushManifest(const std::string& manifest);

    // The received value of `settingName`, or the empty text after an error line.
    std::string settingValue(const std::string& settingName) const;

    // A copy of the settings received so far.
    std::map<std::string, std::string> currentSettings() const { return m_settings; }

    // The settings received so far, not copied; the next delivery changes them.
    // REQUIRES: called on the settings path, the only one that delivers settings.
    const std::map<std::string, std::string>& receivedSettings() const { return m_settings; }

    // The prefix that starts every line of this agent.
    const std::string& printPrefix() const { return m_printPrefix; }

private:
    using Index = std::optional<int>;

    // Runs the hook that matches the kind of `dataPacket`; fills `outResult` on failure.
    bool routeDataPacket(Result<void>* outResult, IDataPacket* dataPacket);

    // Sets `outResult` to an error and prints the error line of doPushDataPacket.
    void failDataPacket(Result<void>* outResult, ErrorCode errorCode,
                        const std::string& message) const;

    // Delivers the list in order under m_mutex, releasing each packet.
    void processMetadataPackets(const std::vector<IMetadataPacket*>& metadataPackets);

    // Delivers one packet. REQUIRES: m_mutex is held by the caller.
    void processMetadataPacket(IMetadataPacket* metadataPacket, Index index);

    // Prints what `metadataPacket` holds, when the output is enabled.
    void logMetadataPacketIfNeeded(const IMetadataPacket* metadataPacket, Index index) const;

    // Prints an assertion text with this agent's prefix.
    void printAssertion(const char* text) const;

    // True when a handler is installed; read without m_mutex, as every frame asks.
    bool hasHandler() const;

    const bool m_enableOutput;
    const std::string m_printPrefix;
    std::mutex m_mutex;
    Ptr<IDeviceAgentHandler> m_handler;
    std::atomic<bool> m_hasHandler{false};  //< Whether m_handler is set; written under m_mutex.
    std::map<std::string, std::string> m_settings;
};

}  // namespace nx::sdk::analytics
