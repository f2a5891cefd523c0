#include <nx/sdk/helpers/uuid_helper.h>

#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace nx::sdk
{
namespace
{

const Uuid kSample(Uuid::Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70, 0x81, 0x92, 0xA3,
                               0xB4, 0xC5, 0xD6, 0xE7, 0xF8});

TEST(UuidHelperTest, RandomUuidsCarryVersionFourAndTheRfcVariant)
{
    std::set<Uuid::Bytes> seen;
    for (int i = 0; i < 2000; ++i)
    {
        const Uuid uuid = randomUuid();
        ASSERT_EQ(uuid[6] >> 4, 4) << toString(uuid);
        ASSERT_EQ(uuid[8] >> 6, 0b10) << toString(uuid);
        ASSERT_FALSE(uuid.isNull());
        seen.insert(uuid.bytes());
    }
    EXPECT_EQ(seen.size(), 2000U);
}

TEST(UuidHelperTest, RandomUuidsAreUniqueAcrossThreads)
{
    constexpr int kThreadCount = 4;
    constexpr int kPerThread = 500;
    std::vector<std::vector<Uuid>> results(kThreadCount);
    std::vector<std::thread> threads;
    for (auto& result : results)
    {
        threads.emplace_back(
            [&result]()
            {
                for (int i = 0; i < kPerThread; ++i)
                    result.push_back(randomUuid());
            });
    }
    for (auto& thread : threads)
        thread.join();

    std::set<Uuid::Bytes> seen;
    for (const auto& result : results)
    {
        for (const Uuid& uuid : result)
            seen.insert(uuid.bytes());
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreadCount * kPerThread));
}

TEST(UuidHelperTest, TextFormFollowsTheSwitches)
{
    EXPECT_EQ(toString(kSample), "{001A2B3C-4D5E-6F70-8192-A3B4C5D6E7F8}");
    EXPECT_EQ(toString(kSample, true, true, true), "{001A2B3C-4D5E-6F70-8192-A3B4C5D6E7F8}");
    EXPECT_EQ(toString(kSample, false, false, false), "001a2b3c4d5e6f708192a3b4c5d6e7f8");
    EXPECT_EQ(toString(kSample, false, true, false), "001a2b3c-4d5e-6f70-8192-a3b4c5d6e7f8");
    EXPECT_EQ(toString(kSample, true, false, true), "{001A2B3C4D5E6F708192A3B4C5D6E7F8}");
    EXPECT_EQ(toString(Uuid()), "{00000000-0000-0000-0000-000000000000}");
}

TEST(UuidHelperTest, UuidIsNullOnlyWhenEveryByteIsZero)
{
    Uuid uuid;
    EXPECT_TRUE(uuid.isNull());
    EXPECT_EQ(uuid, Uuid());
    uuid[15] = 1;
    EXPECT_FALSE(uuid.isNull());
    EXPECT_NE(uuid, Uuid());

    Uuid copy = kSample;
    EXPECT_EQ(copy, kSample);
    copy[0] = 0xFF;
    EXPECT_NE(copy, kSample);
}

}  // namespace
}  // namespace nx::sdk
