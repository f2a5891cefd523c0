#include <nx/sdk/helpers/string_map.h>

#include <gtest/gtest.h>

#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"

namespace nx::sdk
{
namespace
{

TEST(StringMapTest, IndexAccessFollowsKeyOrder)
{
    const auto map = makePtr<StringMap>();
    map->setItem("b", "2");
    map->setItem("a", "1");
    ASSERT_EQ(map->count(), 2);
    EXPECT_STREQ(map->key(0), "a");
    EXPECT_STREQ(map->valueAt(0), "1");
    EXPECT_STREQ(map->key(1), "b");
    EXPECT_STREQ(map->valueAt(1), "2");
}

TEST(StringMapTest, KeysCompareByteWise)
{
    // Upper case sorts before lower case, and bytes above 0x7F after every ASCII byte.
    const auto map = makePtr<StringMap>();
    map->setItem("\xC3\xA9", "high");
    map->setItem("z", "lower");
    map->setItem("Z", "upper");
    ASSERT_EQ(map->count(), 3);
    EXPECT_STREQ(map->key(0), "Z");
    EXPECT_STREQ(map->key(1), "z");
    EXPECT_STREQ(map->key(2), "\xC3\xA9");
    EXPECT_STREQ(map->value("\xC3\xA9"), "high");
}

TEST(StringMapTest, OutOfRangeAndMissingLookupsGiveNull)
{
    const auto map = makePtr<StringMap>();
    EXPECT_EQ(map->key(0), nullptr);
    EXPECT_EQ(map->valueAt(0), nullptr);

    map->setItem("k", "v");
    EXPECT_EQ(map->key(-1), nullptr);
    EXPECT_EQ(map->key(1), nullptr);
    EXPECT_EQ(map->valueAt(-1), nullptr);
    EXPECT_EQ(map->valueAt(1), nullptr);
    EXPECT_EQ(map->value(nullptr), nullptr);
    EXPECT_EQ(map->value("absent"), nullptr);
    EXPECT_EQ(map->value("K"), nullptr);
    EXPECT_STREQ(map->value("k"), "v");
}

TEST(StringMapTest, SettingAKeyAgainKeepsOneEntryWithTheLaterValue)
{
    const auto map = makePtr<StringMap>();
    map->setItem("k", "first");
    map->setItem("k", "second");
    ASSERT_EQ(map->count(), 1);
    EXPECT_STREQ(map->value("k"), "second");
    EXPECT_STREQ(map->valueAt(0), "second");

    // A key with a zero byte in it is a key of its own, placed by its whole text.
    map->setItem(std::string("k\0z", 3), "zero");
    map->setItem("ka", "after");
    ASSERT_EQ(map->count(), 3);
    EXPECT_STREQ(map->valueAt(0), "second");
    EXPECT_STREQ(map->valueAt(1), "zero");
    EXPECT_STREQ(map->valueAt(2), "after");
    EXPECT_STREQ(map->value("k"), "second");
}

TEST(StringMapTest, EmptyKeyIsReportedAndStillStored)
{
    const auto map = makePtr<StringMap>();
    const std::string output = test::captureStderr([&]() { map->setItem("", "v"); });
    EXPECT_EQ(
        test::withoutLineNumbers(output),
        test::assertionLine("[string_map] ", "nx/sdk/helpers/string_map.cpp", "!key.empty()", ""));
    ASSERT_EQ(map->count(), 1);
    EXPECT_STREQ(map->key(0), "");
    EXPECT_STREQ(map->value(""), "v");
}

}  // namespace
}  // namespace nx::sdk
