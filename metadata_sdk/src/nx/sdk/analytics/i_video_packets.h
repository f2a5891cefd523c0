// The host's data packets that a consuming device agent receives: compressed video
// packets, uncompressed video frames and custom metadata packets. Host objects.

#pragma once

#include <nx/sdk/analytics/i_data_packet.h>

namespace nx::sdk::analytics
{

class ICompressedVideoPacket0 : public Interface<ICompressedVideoPacket0, IDataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::ICompressedVideoPacket";
    }

    // The codec name, e.g. "h264".
    virtual const char* codec() const = 0;
    // The encoded bytes, valid while the packet lives.
    virtual const char* data() const = 0;
    // The number of encoded bytes.
    virtual int dataSize() const = 0;

protected:
    ~ICompressedVideoPacket0() = default;
};

class ICompressedVideoPacket : public Interface<ICompressedVideoPacket, ICompressedVideoPacket0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::ICompressedVideoPacket1";
    }

    // Frame width in pixels.
    virtual int width() const = 0;
    // Frame height in pixels.
    virtual int height() const = 0;

protected:
    ~ICompressedVideoPacket() = default;
};

class IUncompressedVideoFrame0 : public Interface<IUncompressedVideoFrame0, IDataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IUncompressedVideoFrame";
    }

    // Frame width in pixels.
    virtual int width() const = 0;
    // Frame height in pixels.
    virtual int height() const = 0;

protected:
    ~IUncompressedVideoFrame0() = default;
};

class IUncompressedVideoFrame : public Interface<IUncompressedVideoFrame, IUncompressedVideoFrame0>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::IUncompressedVideoFrame1";
    }

    // The number of pixel planes.
    virtual int planeCount() const = 0;

protected:
    ~IUncompressedVideoFrame() = default;
};

class ICustomMetadataPacket : public Interface<ICustomMetadataPacket, IDataPacket>
{
public:
    static constexpr const char* interfaceId()
    {
        return "nx::sdk::analytics::ICustomMetadataPacket";
    }

    // The codec of the metadata, e.g. "json".
    virtual const char* codec() const = 0;
    // The metadata bytes, valid while the packet lives.
    virtual const char* data() const = 0;
    // The number of metadata bytes.
    virtual int dataSize() const = 0;

protected:
    ~ICustomMetadataPacket() = default;
};

}  // namespace nx::sdk::analytics
