#include <nx/sdk/analytics/helpers/object_metadata.h>

#include <gtest/gtest.h>

#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"

namespace nx::sdk::analytics
{
namespace
{

constexpr const char* kSourcePath = "nx/sdk/analytics/helpers/object_metadata.cpp";

TEST(ObjectMetadataTest, NewObjectMetadataHasDefaults)
{
    const auto metadata = makePtr<ObjectMetadata>();
    EXPECT_STREQ(metadata->typeId(), "");
    EXPECT_EQ(metadata->confidence(), 1.0F);
    EXPECT_STREQ(metadata->subtype(), "");
    EXPECT_EQ(metadata->attributeCount(), 0);
    EXPECT_EQ(metadata->attribute(0), nullptr);

    Uuid trackId(Uuid::Bytes{1, 2, 3});
    metadata->trackId(&trackId);
    EXPECT_TRUE(trackId.isNull());

    Rect box;
    metadata->boundingBox(&box);
    EXPECT_EQ(box, (Rect{-1.0F, -1.0F, -1.0F, -1.0F}));
}

TEST(ObjectMetadataTest, SettersAreReadBack)
{
    const auto metadata = makePtr<ObjectMetadata>();
    const Uuid id(Uuid::Bytes{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0,
                              0xC0, 0xD0, 0xE0, 0xF0, 0xFF});
    metadata->setTypeId("Face");
    metadata->setTrackId(id);
    metadata->setBoundingBox(Rect{0.1F, 0.2F, 0.3F, 0.4F});

    const auto object = queryInterfacePtr<IObjectMetadata>(metadata);
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->typeId(), "Face");
    Uuid trackId;
    object->trackId(&trackId);
    EXPECT_EQ(trackId, id);
    Rect box;
    object->boundingBox(&box);
    EXPECT_EQ(box, (Rect{0.1F, 0.2F, 0.3F, 0.4F}));
}

TEST(ObjectMetadataTest, AddAttributeMovesTheReferenceAndGetterAddsOne)
{
    const auto metadata = makePtr<ObjectMetadata>();
    auto attribute = makePtr<Attribute>("Gender", "Male", 1.0F);
    const Ptr<Attribute> observer = attribute;  //< Count 2: ours and the observer's.

    metadata->addAttribute(std::move(attribute));
    EXPECT_EQ(attribute, nullptr);
    EXPECT_EQ(observer.refCount(), 2);  //< Moved, not copied.
    metadata->addAttribute(makePtr<Attribute>("Age", "30", 0.5F));
    ASSERT_EQ(metadata->attributeCount(), 2);

    const auto first = toPtr(metadata->attribute(0));
    ASSERT_EQ(first.get(), observer.get());
    EXPECT_EQ(observer.refCount(), 3);
    EXPECT_EQ(first->type(), IAttribute::Type::undefined);
    EXPECT_STREQ(first->name(), "Gender");
    EXPECT_STREQ(first->value(), "Male");
    EXPECT_EQ(first->confidence(), 1.0F);

    const auto second = toPtr(metadata->attribute(1));
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->name(), "Age");
    EXPECT_EQ(second->confidence(), 0.5F);

    EXPECT_EQ(metadata->attribute(2), nullptr);
    EXPECT_EQ(metadata->attribute(-1), nullptr);
}

TEST(ObjectMetadataTest, AttributesAreReleasedWithTheObject)
{
    auto metadata = makePtr<ObjectMetadata>();
    const auto attribute = makePtr<Attribute>("Color", "Red", 1.0F);
    metadata->addAttribute(attribute);
    EXPECT_EQ(attribute.refCount(), 2);
    metadata.reset();
    EXPECT_EQ(attribute.refCount(), 1);
}

TEST(ObjectMetadataTest, NullAttributeIsReportedAndNotAdded)
{
    const auto metadata = makePtr<ObjectMetadata>();
    const std::string output =
        test::captureStderr([&]() { metadata->addAttribute(Ptr<Attribute>()); });
    EXPECT_EQ(test::withoutLineNumbers(output),
              test::assertionLine("[object_metadata] ", kSourcePath, "attribute", ""));
    EXPECT_EQ(metadata->attributeCount(), 0);
}

TEST(ObjectMetadataTest, NullDestinationsAreReported)
{
    const auto metadata = makePtr<ObjectMetadata>();
    const std::string output = test::captureStderr(
        [&]()
        {
            metadata->trackId(nullptr);
            metadata->boundingBox(nullptr);
        });
    const std::string line = test::assertionLine("[object_metadata] ", kSourcePath, "outValue", "");
    EXPECT_EQ(test::withoutLineNumbers(output), line + line);
}

}  // namespace
}  // namespace nx::sdk::analytics
