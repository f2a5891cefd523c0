// Interface identity of the value objects: the ids each class answers, the order of its
// interface chain, and the slot position of every interface operation.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include <nx/sdk/analytics/helpers/event_metadata.h>
#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/analytics/helpers/object_metadata.h>
#include <nx/sdk/analytics/helpers/object_metadata_packet.h>
#include <nx/sdk/analytics/i_action.h>
#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/helpers/settings_response.h>
#include <nx/sdk/helpers/string.h>
#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/ptr.h>

namespace nx::sdk::analytics
{
namespace
{

using Ids = std::vector<std::string>;

const Ids kEventMetadataIds = {"nx::sdk::analytics::IEventMetadata2",
                               "nx::sdk::analytics::IEventMetadata1",
                               "nx::sdk::analytics::IEventMetadata",
                               "nx::sdk::analytics::IMetadata", "nx::sdk::IRefCountable"};
const Ids kObjectMetadataIds = {"nx::sdk::analytics::IObjectMetadata",
                                "nx::sdk::analytics::IMetadata", "nx::sdk::IRefCountable"};
const Ids kEventPacketIds = {"nx::sdk::analytics::IEventMetadataPacket1",
                             "nx::sdk::analytics::IEventMetadataPacket",
                             "nx::sdk::analytics::ICompoundMetadataPacket",
                             "nx::sdk::analytics::IMetadataPacket",
                             "nx::sdk::analytics::IDataPacket",
                             "nx::sdk::IRefCountable"};
const Ids kObjectPacketIds = {"nx::sdk::analytics::IObjectMetadataPacket1",
                              "nx::sdk::analytics::IObjectMetadataPacket",
                              "nx::sdk::analytics::ICompoundMetadataPacket",
                              "nx::sdk::analytics::IMetadataPacket",
                              "nx::sdk::analytics::IDataPacket",
                              "nx::sdk::IRefCountable"};
const Ids kSettingsResponseIds = {"nx::sdk::ISettingsResponse1", "nx::sdk::ISettingsResponse",
                                  "nx::sdk::IRefCountable"};
const Ids kAttributeIds = {"nx::sdk::IAttribute", "nx::sdk::IRefCountable"};
const Ids kStringMapIds = {"nx::sdk::IStringMap", "nx::sdk::IRefCountable"};
const Ids kStringIds = {"nx::sdk::IString", "nx::sdk::IRefCountable"};

// Every id above plus near misses; each class must refuse all those not in its own row.
Ids candidateIds()
{
    Ids ids = {"",
               "nx::sdk::IRefCountable ",
               "nx::sdk::irefcountable",
               "IRefCountable",
               "nx::sdk::analytics::IObjectMetadata1",
               "nx::sdk::analytics::IEventMetadata3",
               "nx::sdk::ISettingsResponse2",
               "nx::sdk::analytics::IPlugin"};
    for (const Ids* row :
         {&kEventMetadataIds, &kObjectMetadataIds, &kEventPacketIds, &kObjectPacketIds,
          &kSettingsResponseIds, &kAttributeIds, &kStringMapIds, &kStringIds})
    {
        ids.insert(ids.end(), row->begin(), row->end());
    }
    return ids;
}

int32_t refCountOf(const IRefCountable* object)
{
    object->addRef();
    return object->releaseRef();
}

// Checks that `object` answers exactly `expected` (with one reference added, at its own
// address) and refuses every other candidate without changing its count.
void expectAnswersExactly(IRefCountable* object, const Ids& expected)
{
    const int32_t count = refCountOf(object);
    for (const std::string& id : candidateIds())
    {
        SCOPED_TRACE("id \"" + id + "\"");
        IRefCountable* answer = object->queryInterface(id.c_str());
        const bool isExpected = std::find(expected.begin(), expected.end(), id) != expected.end();
        if (isExpected)
        {
            ASSERT_EQ(answer, object);
            EXPECT_EQ(refCountOf(object), count + 1);
            answer->releaseRef();
        }
        else
        {
            EXPECT_EQ(answer, nullptr);
        }
        EXPECT_EQ(refCountOf(object), count);
    }
    EXPECT_EQ(object->queryInterface(nullptr), nullptr);
    EXPECT_EQ(refCountOf(object), count);
}

// The ids of an interface chain, from the interface itself down to IRefCountable: the
// order in which queryInterface compares them.
template <class I>
Ids chainIds()
{
    Ids ids = {I::interfaceId()};
    if constexpr (!std::is_same_v<I, IRefCountable>)
    {
        const Ids rest = chainIds<typename I::Base>();
        ids.insert(ids.end(), rest.begin(), rest.end());
    }
    return ids;
}

TEST(InterfaceIdsTest, EachClassAnswersExactlyItsIds)
{
    expectAnswersExactly(makePtr<EventMetadata>().get(), kEventMetadataIds);
    expectAnswersExactly(makePtr<ObjectMetadata>().get(), kObjectMetadataIds);
    expectAnswersExactly(makePtr<EventMetadataPacket>().get(), kEventPacketIds);
    expectAnswersExactly(makePtr<ObjectMetadataPacket>().get(), kObjectPacketIds);
    expectAnswersExactly(makePtr<SettingsResponse>().get(), kSettingsResponseIds);
    expectAnswersExactly(makePtr<Attribute>("n", "v", 1.0F).get(), kAttributeIds);
    expectAnswersExactly(makePtr<StringMap>().get(), kStringMapIds);
    expectAnswersExactly(makePtr<String>("s").get(), kStringIds);
}

TEST(InterfaceIdsTest, ChainsAreComparedNewestVersionFirst)
{
    EXPECT_EQ(chainIds<IEventMetadata>(), kEventMetadataIds);
    EXPECT_EQ(chainIds<IObjectMetadata>(), kObjectMetadataIds);
    EXPECT_EQ(chainIds<IEventMetadataPacket>(), kEventPacketIds);
    EXPECT_EQ(chainIds<IObjectMetadataPacket>(), kObjectPacketIds);
    EXPECT_EQ(chainIds<ISettingsResponse>(), kSettingsResponseIds);
    EXPECT_EQ(chainIds<IAttribute>(), kAttributeIds);
    EXPECT_EQ(chainIds<IStringMap>(), kStringMapIds);
    EXPECT_EQ(chainIds<IString>(), kStringIds);
}

#if (defined(__x86_64__) || defined(__aarch64__)) && (defined(__GNUC__) || defined(__clang__))

// The host slot of a virtual operation. In the Itanium C++ ABI a pointer to a virtual
// member function holds 1 + its byte offset in the table; the Arm 64-bit C++ ABI marks it
// virtual in its adjustment word instead and holds the byte offset itself. A virtual
// destructor takes two entries among IRefCountable's four slots, so host slot s >= 4 is
// entry s + 1; in the explicit Microsoft layout slot 0 is one entry and host slot s is
// entry s.
template <class MemberFunction>
int hostSlot(MemberFunction function)
{
    static_assert(sizeof(MemberFunction) >= sizeof(uintptr_t));
    constexpr int kDestructorExtraEntries = NX_SDK_EXPLICIT_MICROSOFT_LAYOUT ? 0 : 1;
#if defined(__aarch64__)
    constexpr uintptr_t kVirtualMark = 0;
#else
    constexpr uintptr_t kVirtualMark = 1;
#endif
    uintptr_t value = 0;
    std::memcpy(&value, &function, sizeof(value));
    return static_cast<int>((value - kVirtualMark) / sizeof(void*)) - kDestructorExtraEntries;
}

TEST(InterfaceIdsTest, OperationsSitInTheirHostSlots)
{
    EXPECT_EQ(hostSlot(&IString::str), 4);

    EXPECT_EQ(hostSlot(&IStringMap::count), 4);
    EXPECT_EQ(hostSlot(&IStringMap::key), 5);
    EXPECT_EQ(hostSlot(&IStringMap::value), 6);
    EXPECT_EQ(hostSlot(&IStringMap::valueAt), 7);

    EXPECT_EQ(hostSlot(&ISettingsResponse::values), 4);
    EXPECT_EQ(hostSlot(&ISettingsResponse::errors), 5);
    EXPECT_EQ(hostSlot(&ISettingsResponse::model), 6);

    EXPECT_EQ(hostSlot(&IAttribute::type), 4);
    EXPECT_EQ(hostSlot(&IAttribute::name), 5);
    EXPECT_EQ(hostSlot(&IAttribute::value), 6);
    EXPECT_EQ(hostSlot(&IAttribute::confidence), 7);

    EXPECT_EQ(hostSlot(&IEventMetadata::typeId), 4);
    EXPECT_EQ(hostSlot(&IEventMetadata::confidence), 5);
    EXPECT_EQ(hostSlot(&IEventMetadata::attribute), 6);
    EXPECT_EQ(hostSlot(&IEventMetadata::attributeCount), 7);
    EXPECT_EQ(hostSlot(&IEventMetadata::caption), 8);
    EXPECT_EQ(hostSlot(&IEventMetadata::description), 9);
    EXPECT_EQ(hostSlot(&IEventMetadata::isActive), 10);
    EXPECT_EQ(hostSlot(&IEventMetadata::trackId), 11);
    EXPECT_EQ(hostSlot(&IEventMetadata::key), 12);

    EXPECT_EQ(hostSlot(&IObjectMetadata::trackId), 8);
    EXPECT_EQ(hostSlot(&IObjectMetadata::subtype), 9);
    EXPECT_EQ(hostSlot(&IObjectMetadata::boundingBox), 10);

    for (const int versionSlot : {hostSlot(&IEventMetadataPacket::versionValue),
                                  hostSlot(&IObjectMetadataPacket::versionValue)})
    {
        EXPECT_EQ(versionSlot, 8);
    }
    EXPECT_EQ(hostSlot(&IEventMetadataPacket::timestampUs), 4);
    EXPECT_EQ(hostSlot(&IEventMetadataPacket::durationUs), 5);
    EXPECT_EQ(hostSlot(&IObjectMetadataPacket::count), 6);
    EXPECT_EQ(hostSlot(&IObjectMetadataPacket::at), 7);

    EXPECT_EQ(hostSlot(&IRefCountable::queryInterface), 1);
    EXPECT_EQ(hostSlot(&IAction::actionId), 4);
    EXPECT_EQ(hostSlot(&IAction::objectTrackInfo), 7);
    EXPECT_EQ(hostSlot(&IAction::params), 9);
#if NX_SDK_EXPLICIT_MICROSOFT_LAYOUT
    EXPECT_EQ(hostSlot(&DestructorSlot::deletingDestructor), 0);
    EXPECT_EQ(hostSlot(&IAction::objectTrackIdInto), 5);
    EXPECT_EQ(hostSlot(&IAction::deviceIdInto), 6);
#else
    EXPECT_EQ(hostSlot(&IAction::objectTrackId), 5);
    EXPECT_EQ(hostSlot(&IAction::deviceId), 6);
#endif
}

#endif

}  // namespace
}  // namespace nx::sdk::analytics
