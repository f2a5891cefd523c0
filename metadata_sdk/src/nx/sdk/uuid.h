// Uuid: a 128-bit identifier stored as 16 bytes; the all-zero value means no identifier.
//
// A plain value, compared and copied as a whole; the host reads it by address, so its
// layout is exactly the 16 bytes. Not locked.

#pragma once

#include <array>
#include <cstdint>

namespace nx::sdk
{

class Uuid
{
public:
    static constexpr int kSize = 16;
    using Bytes = std::array<uint8_t, kSize>;

    // The null identifier (all bytes zero).
    constexpr Uuid() = default;

    // An identifier with the given bytes.
    constexpr explicit Uuid(const Bytes& bytes) : m_bytes(bytes) {}

    // The number of bytes, 16.
    static constexpr int size() { return kSize; }

    // REQUIRES: 0 <= index < 16.
    uint8_t& operator[](int index) { return m_bytes[static_cast<size_t>(index)]; }

    // REQUIRES: 0 <= index < 16.
    constexpr uint8_t operator[](int index) const { return m_bytes[static_cast<size_t>(index)]; }

    // The bytes in order.
    const Bytes& bytes() const { return m_bytes; }
    const uint8_t* data() const { return m_bytes.data(); }
    uint8_t* data() { return m_bytes.data(); }

    // True when all bytes are zero.
    bool isNull() const { return m_bytes == Bytes{}; }

    bool operator==(const Uuid& other) const { return m_bytes == other.m_bytes; }
    bool operator!=(const Uuid& other) const { return m_bytes != other.m_bytes; }

private:
    Bytes m_bytes{};
};

static_assert(sizeof(Uuid) == Uuid::kSize, "Uuid must be exactly its 16 bytes");

}  // namespace nx::sdk
