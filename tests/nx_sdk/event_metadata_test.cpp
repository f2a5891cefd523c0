#include <nx/sdk/analytics/helpers/event_metadata.h>

#include <gtest/gtest.h>

#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"

namespace nx::sdk::analytics
{
namespace
{

Uuid filledUuid()
{
    Uuid uuid;
    for (int i = 0; i < Uuid::kSize; ++i)
        uuid[i] = 0xAB;
    return uuid;
}

TEST(EventMetadataTest, NewEventMetadataHasDefaults)
{
    const auto metadata = makePtr<EventMetadata>();
    EXPECT_STREQ(metadata->typeId(), "");
    EXPECT_EQ(metadata->confidence(), 1.0F);
    EXPECT_STREQ(metadata->caption(), "");
    EXPECT_STREQ(metadata->description(), "");
    EXPECT_FALSE(metadata->isActive());
    EXPECT_STREQ(metadata->key(), "");
    EXPECT_EQ(metadata->attributeCount(), 0);
    EXPECT_EQ(metadata->attribute(0), nullptr);
    EXPECT_EQ(metadata->attribute(-1), nullptr);

    Uuid trackId = filledUuid();  //< Must be overwritten with zeros.
    metadata->trackId(&trackId);
    EXPECT_TRUE(trackId.isNull());
}

TEST(EventMetadataTest, SettersAreSeenThroughEveryInterfaceVersion)
{
    const auto metadata = makePtr<EventMetadata>();
    metadata->setTypeId("Motion");
    metadata->setCaption("MoveDetect");
    metadata->setDescription("MoveDetect Start");
    metadata->setIsActive(true);
    metadata->setKey("Motion");

    const auto newest = queryInterfacePtr<IEventMetadata>(metadata);
    ASSERT_NE(newest, nullptr);
    EXPECT_STREQ(newest->key(), "Motion");

    const auto oldest = queryInterfacePtr<IEventMetadata0>(metadata);
    ASSERT_NE(oldest, nullptr);
    EXPECT_STREQ(oldest->typeId(), "Motion");
    EXPECT_STREQ(oldest->caption(), "MoveDetect");
    EXPECT_STREQ(oldest->description(), "MoveDetect Start");
    EXPECT_TRUE(oldest->isActive());

    metadata->setIsActive(false);
    EXPECT_FALSE(oldest->isActive());
}

TEST(EventMetadataTest, NullTrackIdDestinationIsReported)
{
    const auto metadata = makePtr<EventMetadata>();
    const std::string output = test::captureStderr([&]() { metadata->trackId(nullptr); });
    EXPECT_EQ(test::withoutLineNumbers(output),
              test::assertionLine("[event_metadata] ",
                                  "nx/sdk/analytics/helpers/event_metadata.cpp", "outValue", ""));
}

}  // namespace
}  // namespace nx::sdk::analytics
