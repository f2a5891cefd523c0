// The host's data packets for a consuming device agent: compressed video packets,
// uncompressed video frames and custom metadata packets, each with a given timestamp.
//
// Immutable after construction; any thread may read them.

#pragma once

#include <cstdint>
#include <string>

#include <nx/sdk/analytics/i_video_packets.h>
#include <nx/sdk/ref_countable.h>

namespace korvane::host
{

class CompressedVideoPacket
    : public nx::sdk::RefCountable<nx::sdk::analytics::ICompressedVideoPacket>
{
public:
    explicit CompressedVideoPacket(int64_t timestampUs, int width = 1920, int height = 1080);

    int64_t timestampUs() const override { return m_timestampUs; }
    const char* codec() const override { return "h264"; }
    const char* data() const override { return m_data.data(); }
    int dataSize() const override { return static_cast<int>(m_data.size()); }
    int width() const override { return m_width; }
    int height() const override { return m_height; }

protected:
    ~CompressedVideoPacket() override = default;

private:
    const int64_t m_timestampUs;
    const int m_width;
    const int m_height;
    const std::string m_data;
};

class UncompressedVideoFrame
    : public nx::sdk::RefCountable<nx::sdk::analytics::IUncompressedVideoFrame>
{
public:
    explicit UncompressedVideoFrame(int64_t timestampUs, int width = 1920, int height = 1080);

    int64_t timestampUs() const override { return m_timestampUs; }
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    int planeCount() const override { return 3; }

protected:
    ~UncompressedVideoFrame() override = default;

private:
    const int64_t m_timestampUs;
    const int m_width;
    const int m_height;
};

class CustomMetadataPacket final
    : public nx::sdk::RefCountable<nx::sdk::analytics::ICustomMetadataPacket>
{
public:
    CustomMetadataPacket(int64_t timestampUs, std::string codec, std::string data);

    int64_t timestampUs() const override { return m_timestampUs; }
    const char* codec() const override { return m_codec.c_str(); }
    const char* data() const override { return m_data.data(); }
    int dataSize() const override { return static_cast<int>(m_data.size()); }

private:
    ~CustomMetadataPacket() override = default;

    const int64_t m_timestampUs;
    const std::string m_codec;
    const std::string m_data;
};

}  // namespace korvane::host
