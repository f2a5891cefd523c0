#include "uuid_helper.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <mutex>
#include <random>
#include <utility>

namespace nx::sdk
{

namespace
{

// 32-bit words drawn from the random device to seed the generator (256 bits of entropy).
constexpr int kSeedWordCount = 8;

// The process-wide generator: a 64-bit Mersenne Twister seeded once from the random device.
class UuidGenerator
{
public:
    UuidGenerator()
    {
        std::random_device device;
        std::seed_seq::result_type words[kSeedWordCount];
        for (auto& word : words)
            word = device();
        std::seed_seq seed(std::begin(words), std::end(words));
        m_engine.seed(seed);
    }

    // Two uniform 64-bit draws, taken together under the generator's mutex.
    std::pair<uint64_t, uint64_t> drawPair()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const uint64_t first = m_distribution(m_engine);
        const uint64_t second = m_distribution(m_engine);
        return {first, second};
    }

private:
    std::mutex m_mutex;
    std::mt19937_64 m_engine;
    std::uniform_int_distribution<uint64_t> m_distribution{0, std::numeric_limits<uint64_t>::max()};
};

UuidGenerator& generator()
{
    static UuidGenerator instance;
    return instance;
}

// Writes `value` into bytes [offset, offset + 8), least significant byte first.
void putBytes(Uuid* uuid, int offset, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        (*uuid)[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

Uuid randomUuid()
{
    const auto [first, second] = generator().drawPair();
    Uuid uuid;
    putBytes(&uuid, 0, first);
    putBytes(&uuid, 8, second);
    uuid[6] = static_cast<uint8_t>(uuid[6] % 16 + 64);   //< Version 4.
    uuid[8] = static_cast<uint8_t>(uuid[8] % 64 + 128);  //< Variant bits 10.
    return uuid;
}

std::string toString(const Uuid& uuid, bool uppercase, bool hyphens, bool braces)
{
    static const char kUpperDigits[] = "0123456789ABCDEF";
    static const char kLowerDigits[] = "0123456789abcdef";
    const char* digits = uppercase ? kUpperDigits : kLowerDigits;

    std::string text;
    if (braces)
        text += '{';
    for (int i = 0; i < Uuid::kSize; ++i)
    {
        // Groups of 4, 2, 2, 2 and 6 bytes.
        if (hyphens && (i == 4 || i == 6 || i == 8 || i == 10))
            text += '-';
        text += digits[uuid[i] >> 4];
        text += digits[uuid[i] & 0xF];
    }
    if (braces)
        text += '}';
    return text;
}

}  // namespace nx::sdk
