// Tests of EventMetadataPacket and ObjectMetadataPacket, which share one layout.

#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include <nx/sdk/analytics/helpers/event_metadata.h>
#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/analytics/helpers/object_metadata.h>
#include <nx/sdk/analytics/helpers/object_metadata_packet.h>
#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"

namespace nx::sdk::analytics
{
namespace
{

struct EventPacketKind
{
    using Packet = EventMetadataPacket;
    using Item = EventMetadata;
    using ItemInterface = IEventMetadata;
    static constexpr const char* kPrefix = "[event_metadata_packet] ";
    static constexpr const char* kSourcePath = "nx/sdk/analytics/helpers/event_metadata_packet.cpp";
    static constexpr const char* kNullItemCondition = "eventMetadata";
};

struct ObjectPacketKind
{
    using Packet = ObjectMetadataPacket;
    using Item = ObjectMetadata;
    using ItemInterface = IObjectMetadata;
    static constexpr const char* kPrefix = "[object_metadata_packet] ";
    static constexpr const char* kSourcePath =
        "nx/sdk/analytics/helpers/object_metadata_packet.cpp";
    static constexpr const char* kNullItemCondition = "objectMetadata";
};

template <class Kind>
class MetadataPacketTest : public testing::Test
{
protected:
    static Ptr<typename Kind::Item> makeItem(const std::string& typeId)
    {
        auto item = makePtr<typename Kind::Item>();
        item->setTypeId(typeId);
        return item;
    }
};

using PacketKinds = testing::Types<EventPacketKind, ObjectPacketKind>;
// Names the typed tests "Event" and "Object" instead of 0 and 1.
struct PacketKindName
{
    template <class Kind>
    static std::string GetName(int)
    {
        return std::is_same_v<Kind, EventPacketKind> ? "Event" : "Object";
    }
};

TYPED_TEST_SUITE(MetadataPacketTest, PacketKinds, PacketKindName);

TYPED_TEST(MetadataPacketTest, NewPacketHasDefaults)
{
    const auto packet = makePtr<typename TypeParam::Packet>();
    EXPECT_EQ(packet->timestampUs(), -1);
    EXPECT_EQ(packet->durationUs(), -1);
    EXPECT_EQ(packet->versionValue(), 0);
    EXPECT_EQ(packet->count(), 0);
    EXPECT_EQ(packet->at(0), nullptr);
    EXPECT_EQ(packet->at(-1), nullptr);
}

TYPED_TEST(MetadataPacketTest, TimesAreSetIndependently)
{
    const auto packet = makePtr<typename TypeParam::Packet>();
    packet->setTimestampUs(1'700'000'000'000'000);
    EXPECT_EQ(packet->timestampUs(), 1'700'000'000'000'000);
    EXPECT_EQ(packet->durationUs(), -1);
    packet->setDurationUs(0);
    EXPECT_EQ(packet->durationUs(), 0);
    EXPECT_EQ(packet->timestampUs(), 1'700'000'000'000'000);
}

TYPED_TEST(MetadataPacketTest, ItemsKeepTheirOrderAndOutOfRangeGivesNull)
{
    const auto packet = makePtr<typename TypeParam::Packet>();
    const char* const kTypeIds[] = {"Face", "LicensePlate", "Person"};
    for (const char* typeId : kTypeIds)
        packet->addItem(this->makeItem(typeId).get());  //< The builder's reference goes here.

    ASSERT_EQ(packet->count(), 3);
    for (int i = 0; i < 3; ++i)
    {
        const auto item = toPtr(packet->at(i));
        ASSERT_NE(item, nullptr);
        EXPECT_STREQ(item->typeId(), kTypeIds[i]);
    }
    EXPECT_EQ(packet->at(3), nullptr);
    EXPECT_EQ(packet->at(-1), nullptr);
}

TYPED_TEST(MetadataPacketTest, PacketHoldsOneReferencePerItem)
{
    auto packet = makePtr<typename TypeParam::Packet>();
    const auto item = this->makeItem("Vehicle");
    packet->addItem(item.get());
    EXPECT_EQ(item.refCount(), 2);

    {
        const auto fromPacket = toPtr(packet->at(0));
        EXPECT_EQ(fromPacket.get(), static_cast<const IMetadata*>(item.get()));
        EXPECT_EQ(item.refCount(), 3);
        // The item answers its own interface as well as the generic one.
        EXPECT_NE(queryInterfacePtr<typename TypeParam::ItemInterface>(fromPacket), nullptr);
    }
    EXPECT_EQ(item.refCount(), 2);

    packet.reset();
    EXPECT_EQ(item.refCount(), 1);
}

TYPED_TEST(MetadataPacketTest, NullItemIsReportedAndNotAdded)
{
    const auto packet = makePtr<typename TypeParam::Packet>();
    const std::string output = test::captureStderr([&]() { packet->addItem(nullptr); });
    EXPECT_EQ(test::withoutLineNumbers(output),
              test::assertionLine(TypeParam::kPrefix, TypeParam::kSourcePath,
                                  TypeParam::kNullItemCondition, ""));
    EXPECT_EQ(packet->count(), 0);
}

}  // namespace
}  // namespace nx::sdk::analytics
