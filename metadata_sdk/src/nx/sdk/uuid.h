// Uuid: a 128-bit identifier stored as 16 bytes; the all-zero value means no identifier.
//
// A plain value, compared and copied as a whole; the host reads it by address, so its
// layout is exactly the 16 bytes. Not locked.

#pragma once

#include <stdint.h>

namespace nx::sdk
{

class Uuid
{
public:
    static constexpr int kSize = 16;

    // The 16 bytes in order; a plain array, so that the header needs no standard library.
    struct Bytes
    {
        uint8_t value[kSize];

        constexpr bool operator==(const Bytes& other) const { return compare(other) == 0; }
        constexpr bool operator!=(const Bytes& other) const { return compare(other) != 0; }
        constexpr bool operator<(const Bytes& other) const { return compare(other) < 0; }

        // Negative, 0 or positive as these bytes order before, like or after `other`.
        constexpr int compare(const Bytes& other) const
        {
            for (int i = 0; i < kSize; ++i)
            {
                if (value[i] != other.value[i])
                    return value[i] < other.value[i] ? -1 : 1;
            }
            return 0;
        }
    };

    // The null identifier (all bytes zero).
    constexpr Uuid() = default;

    // An identifier with the given bytes.
    constexpr explicit Uuid(const Bytes& bytes) : m_bytes(bytes) {}

    // The number of bytes, 16.
    static constexpr int size() { return kSize; }

    // REQUIRES: 0 <= index < 16.
    uint8_t& operator[](int index) { return m_bytes.value[index]; }

    // REQUIRES: 0 <= index < 16.
    constexpr uint8_t operator[](int index) const { return m_bytes.value[index]; }

    // The bytes in order.
    constexpr const Bytes& bytes() const { return m_bytes; }
    const uint8_t* data() const { return m_bytes.value; }
    uint8_t* data() { return m_bytes.value; }

    // True when all bytes are zero.
    constexpr bool isNull() const { return m_bytes == Bytes{}; }

    constexpr bool operator==(const Uuid& other) const { return m_bytes == other.m_bytes; }
    constexpr bool operator!=(const Uuid& other) const { return m_bytes != other.m_bytes; }

private:
    Bytes m_bytes{};
};

static_assert(sizeof(Uuid) == Uuid::kSize, "Uuid must be exactly its 16 bytes");

}  // namespace nx::sdk
