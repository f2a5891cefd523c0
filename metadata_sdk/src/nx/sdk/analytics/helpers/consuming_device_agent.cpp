#include "consuming_device_agent.h"

#include <nx/kit/debug.h>
#include <nx/sdk/analytics/i_compound_metadata_packet.h>
#include <nx/sdk/analytics/i_event_metadata_packet.h>
#include <nx/sdk/analytics/i_object_metadata_packet.h>
#include <nx/sdk/analytics/i_object_track_best_shot_packet.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string.h>
#include <nx/sdk/helpers/string_map_conversion.h>

namespace nx::sdk::analytics
{

namespace
{

std::string makePrintPrefix(const IDeviceInfo* deviceInfo, std::string printPrefix)
{
    if (!printPrefix.empty())
        return printPrefix;

    std::string deviceIdPart;
    if (deviceInfo)
    {
        const char* const deviceId = deviceInfo->id();
        deviceIdPart = std::string("_") + (deviceId ? deviceId : "");
    }
    return "[" + libContext().name() + "_device" + deviceIdPart + "] ";
}

// " #<index>" in a line, or nothing for a packet that is not part of a list.
struct IndexText
{
    const std::optional<int>& index;
};

nx::kit::debug::LineWriter& operator<<(nx::kit::debug::LineWriter& line, const IndexText& text)
{
    return text.index ? line << " #" << *text.index : line;
}

// "<type name> metadata packet" and the index text, in a line.
struct PacketName
{
    const char* typeName;
    const std::optional<int>& index;
};

nx::kit::debug::LineWriter& operator<<(nx::kit::debug::LineWriter& line, const PacketName& name)
{
    return line << name.typeName << " metadata packet" << IndexText{name.index};
}

}  // namespace

ConsumingDeviceAgent::ConsumingDeviceAgent(const IDeviceInfo* deviceInfo, bool enableOutput,
                                           std::string printPrefix)
    : m_enableOutput(enableOutput),
      m_printPrefix(makePrintPrefix(deviceInfo, std::move(printPrefix)))
{
    NX_KIT_ASSERT([this](const char* text) { printAssertion(text); }, deviceInfo, "");
    NX_KIT_PRINT(m_printPrefix) << "Created " << static_cast<const void*>(this);
}

ConsumingDeviceAgent::~ConsumingDeviceAgent()
{
    NX_KIT_PRINT(m_printPrefix) << "Destroyed " << static_cast<const void*>(this);
}

void ConsumingDeviceAgent::printAssertion(const char* text) const
{
    NX_KIT_PRINT(m_printPrefix) << text;
}

void ConsumingDeviceAgent::doSetSettings(Result<const ISettingsResponse*>* outResult,
                                         const IStringMap* settings)
{
    if (!convertStringMap(&m_settings, settings, m_enableOutput, m_printPrefix, "Received settings",
                          /*indent*/ 0))
    {
        *outResult = error(ErrorCode::invalidParams, "Settings are invalid");
        return;
    }
    *outResult = settingsReceived();
}

void ConsumingDeviceAgent::getPluginSideSettings(
    Result<const ISettingsResponse*>* /*outResult*/) const
{
}

void ConsumingDeviceAgent::getManifest(Result<const IString*>* outResult) const
{
    *outResult = Result<const IString*>(new String(manifestString()));
}

void ConsumingDeviceAgent::setHandler(IDeviceAgentHandler* handler)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = shareToPtr(handler);
    m_hasHandler.store(handler != nullptr);
}

bool ConsumingDeviceAgent::hasHandler() const
{
    return m_hasHandler.load();
}

void ConsumingDeviceAgent::doPushDataPacket(Result<void>* outResult, IDataPacket* dataPacket)
{
    if (m_enableOutput)
        NX_KIT_PRINT(m_printPrefix) << "doPushDataPacket"
                                    << "() BEGIN";

    if (!dataPacket)
        return failDataPacket(outResult, ErrorCode::invalidParams,
                              "dataPacket is null; discarding it.");

    const int64_t timestampUs = dataPacket->timestampUs();
    if (timestampUs < 0)
    {
        return failDataPacket(outResult, ErrorCode::invalidParams,
                              "dataPacket has invalid timestamp " + std::to_string(timestampUs) +
                                  "; discarding the packet.");
    }

    if (!routeDataPacket(outResult, dataPacket))
        return;

    if (!hasHandler())
        return failDataPacket(outResult, ErrorCode::internalError, "setHandler() was not called.");

    std::vector<IMetadataPacket*> metadataPackets;
    if (!pullMetadataPackets(&metadataPackets))
    {
        // Whatever the hook managed to add before failing is still owned by the frame.
        for (IMetadataPacket* metadataPacket : metadataPackets)
        {
            if (metadataPacket)
                metadataPacket->releaseRef();
        }
        return failDataPacket(outResult, ErrorCode::otherError, "pullMetadataPackets() failed.");
    }

    processMetadataPackets(metadataPackets);
    *outResult = Result<void>();

    if (m_enableOutput)
        NX_KIT_PRINT(m_printPrefix) << "doPushDataPacket"
                                    << "() END";
}

bool ConsumingDeviceAgent::routeDataPacket(Result<void>* outResult, IDataPacket* dataPacket)
{
    if (const auto videoPacket = queryInterfacePtr<ICompressedVideoPacket>(dataPacket))
    {
        if (pushCompressedVideoFrame(videoPacket.get()))
            return true;
        failDataPacket(outResult, ErrorCode::otherError, "pushCompressedVideoFrame() failed.");
        return false;
    }
    if (const auto videoFrame = queryInterfacePtr<IUncompressedVideoFrame>(dataPacket))
    {
        if (pushUncompressedVideoFrame(videoFrame.get()))
            return true;
        failDataPacket(outResult, ErrorCode::otherError, "pushUncompressedVideoFrame() failed.");
        return false;
    }
    if (const auto customPacket = queryInterfacePtr<ICustomMetadataPacket>(dataPacket))
    {
        if (pushCustomMetadataPacket(customPacket.get()))
            return true;
        failDataPacket(outResult, ErrorCode::otherError, "pushCustomMetadataPacket() failed.");
        return false;
    }
    failDataPacket(outResult, ErrorCode::invalidParams, "Unsupported frame supplied; ignored.");
    return false;
}

void ConsumingDeviceAgent::failDataPacket(Result<void>* outResult, ErrorCode errorCode,
                                          const std::string& message) const
{
    NX_KIT_PRINT(m_printPrefix) << "doPushDataPacket"
                                << "() " << (m_enableOutput ? "END " : "") << "-> "
                                << toString(errorCode) << ": " << message;
    *outResult = error(errorCode, message);
}

void ConsumingDeviceAgent::finalize()
{
    if (m_enableOutput)
        NX_KIT_PRINT(m_printPrefix) << "finalize"
                                    << "()";
}

void ConsumingDeviceAgent::doGetSettingsOnActiveSettingChange(
    Result<const ISettingsResponse*>* /*outResult*/, const IStringMap* /*settings*/)
{
}

bool ConsumingDeviceAgent::pushCompressedVideoFrame(const ICompressedVideoPacket* /*videoPacket*/)
{
    return true;
}

bool ConsumingDeviceAgent::pushUncompressedVideoFrame(const IUncompressedVideoFrame* /*videoFrame*/)
{
    return true;
}

bool ConsumingDeviceAgent::pushCustomMetadataPacket(
    const ICustomMetadataPacket* /*customMetadataPacket*/)
{
    return true;
}

bool ConsumingDeviceAgent::pullMetadataPackets(std::vector<IMetadataPacket*>* /*metadataPackets*/)
{
    return true;
}

Result<const ISettingsResponse*> ConsumingDeviceAgent::settingsReceived()
{
    return Result<const ISettingsResponse*>();
}

void ConsumingDeviceAgent::pushMetadataPacket(IMetadataPacket* metadataPacket)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    processMetadataPacket(metadataPacket, std::nullopt);
    if (metadataPacket)
        metadataPacket->releaseRef();
}

void ConsumingDeviceAgent::pushManifest(const std::string& manifest)
{
    Ptr<IDeviceAgentHandler> handler;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        handler = m_handler;
    }
    if (!handler)
        return;
    const auto manifestString = makePtr<String>(manifest);
    handler->pushManifest(manifestString.get());
}

std::string ConsumingDeviceAgent::settingValue(const std::string& settingName) const
{
    const auto it = m_settings.find(settingName);
    if (it != m_settings.end())
        return it->second;

    NX_KIT_PRINT(m_printPrefix) << "ERROR: Requested setting "
                                << nx::kit::debug::toDiagnosticText(settingName)
                                << " is missing; implying empty string.";
    return std::string();
}

void ConsumingDeviceAgent::processMetadataPackets(
    const std::vector<IMetadataPacket*>& metadataPackets)
{
    // A frame with nothing to deliver (most frames) leaves the handler's lock alone.
    if (metadataPackets.empty())
        return;
    if (m_enableOutput)
    {
        NX_KIT_PRINT(m_printPrefix)
            << "processMetadataPackets"
            << "(): Producing " << metadataPackets.size() << " metadata packet(s).";
    }

    const std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < metadataPackets.size(); ++i)
    {
        IMetadataPacket* const metadataPacket = metadataPackets[i];
        processMetadataPacket(metadataPacket, static_cast<int>(i));
        if (metadataPacket)
            metadataPacket->releaseRef();
    }
}

void ConsumingDeviceAgent::processMetadataPacket(IMetadataPacket* metadataPacket, Index index)
{
    if (!m_handler)
    {
        NX_KIT_PRINT(m_printPrefix)
            << "processMetadataPacket"
            << "(): "
            << "INTERNAL ERROR: setHandler() was not called; ignoring the packet";
        return;
    }

    if (!metadataPacket)
    {
        if (m_enableOutput)
        {
            NX_KIT_PRINT(m_printPrefix)
                << "processMetadataPacket"
                << "(): WARNING: Null metadata packet" << IndexText{index} << " found; discarded.";
        }
        return;
    }

    logMetadataPacketIfNeeded(metadataPacket, index);
    NX_KIT_ASSERT([this](const char* text) { printAssertion(text); },
                  metadataPacket->timestampUs() >= 0, "");
    m_handler->handleMetadata(metadataPacket);
}

void ConsumingDeviceAgent::logMetadataPacketIfNeeded(const IMetadataPacket* metadataPacket,
                                                     Index index) const
{
    if (!m_enableOutput)
        return;
    if (!NX_KIT_ASSERT([this](const char* text) { printAssertion(text); }, metadataPacket, ""))
        return;

    constexpr const char* kFunction = "logMetadataPacketIfNeeded";
    const char* typeName = "Unknown";
    if (queryInterfacePtr<IObjectMetadataPacket>(metadataPacket))
        typeName = "Object";
    else if (queryInterfacePtr<IEventMetadataPacket>(metadataPacket))
        typeName = "Event";
    else if (queryInterfacePtr<IObjectTrackBestShotPacket>(metadataPacket))
        typeName = "Best shot";
    else
    {
        NX_KIT_PRINT(m_printPrefix) << kFunction << "(): WARNING: Metadata packet"
                                    << IndexText{index} << " has unknown type.";
    }
    const PacketName packetName{typeName, index};

    const auto compoundPacket = queryInterfacePtr<ICompoundMetadataPacket>(metadataPacket);
    if (!compoundPacket)
        return;

    const int count = compoundPacket->count();
    if (count <= 0)
    {
        NX_KIT_PRINT(m_printPrefix) << kFunction << "(): WARNING: " << packetName << " is empty.";
        return;
    }

    const char* typeId = nullptr;
    if (count == 1)
    {
        const auto item = toPtr(compoundPacket->at(0));
        typeId = item ? item->typeId() : nullptr;
    }
    NX_KIT_PRINT(m_printPrefix) << kFunction << "(): " << packetName << " contains " << count << " "
                                << (count == 1 ? "item of type " : "item(s)")
                                << (typeId ? typeId : "") << ".";
    if (compoundPacket->timestampUs() == 0)
    {
        NX_KIT_PRINT(m_printPrefix)
            << kFunction << "(): WARNING: " << packetName << " has timestamp 0.";
    }
}

}  // namespace nx::sdk::analytics
