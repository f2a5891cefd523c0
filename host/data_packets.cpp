#include "data_packets.h"

namespace korvane::host
{

namespace
{

// A few bytes that look like the start of an H.264 access unit.
const char kAccessUnitStart[] = {0, 0, 0, 1, 0x09, 0x10};

}  // namespace

CompressedVideoPacket::CompressedVideoPacket(int64_t timestampUs, int width, int height)
    : m_timestampUs(timestampUs),
      m_width(width),
      m_height(height),
      m_data(kAccessUnitStart, sizeof(kAccessUnitStart))
{
}

UncompressedVideoFrame::UncompressedVideoFrame(int64_t timestampUs, int width, int height)
    : m_timestampUs(timestampUs), m_width(width), m_height(height)
{
}

CustomMetadataPacket::CustomMetadataPacket(int64_t timestampUs, std::string codec, std::string data)
    : m_timestampUs(timestampUs), m_codec(std::move(codec)), m_data(std::move(data))
{
}

}  // namespace korvane::host
