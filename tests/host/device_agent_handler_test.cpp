// The recording device-agent handler: copies of what arrives, waiting, and thread safety.

#include "host/device_agent_handler.h"

#include <thread>

#include <gtest/gtest.h>

#include <nx/sdk/analytics/helpers/event_metadata.h>
#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/analytics/helpers/object_metadata.h>
#include <nx/sdk/analytics/helpers/object_metadata_packet.h>
#include <nx/sdk/helpers/attribute.h>
#include <nx/sdk/helpers/string.h>
#include <nx/sdk/ptr.h>

namespace korvane::host
{
namespace
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

Ptr<EventMetadataPacket> eventPacket(int64_t timestampUs)
{
    auto packet = makePtr<EventMetadataPacket>();
    packet->setTimestampUs(timestampUs);
    const auto event = makePtr<EventMetadata>();
    event->setTypeId("Motion");
    event->setCaption("MoveDetect");
    event->setDescription("MoveDetect Start");
    event->setKey("Motion");
    event->setIsActive(true);
    packet->addItem(event.get());
    return packet;
}

TEST(DeviceAgentHandlerTest, CopiesEventAndObjectPackets)
{
    const auto handler = makePtr<DeviceAgentHandler>();
    handler->handleMetadata(eventPacket(5000000).get());

    const auto objects = makePtr<ObjectMetadataPacket>();
    objects->setTimestampUs(7);
    const auto face = makePtr<ObjectMetadata>();
    face->setTypeId("Face");
    face->setBoundingBox(Rect{0.25F, 0.5F, 0.5F, 0.5F});
    face->setTrackId(Uuid(Uuid::Bytes{1, 2, 3}));
    face->addAttribute(makePtr<Attribute>("Gender", "Man", 1.0F));
    objects->addItem(face.get());
    handler->handleMetadata(objects.get());
    handler->handleMetadata(nullptr);

    const auto records = handler->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].kind, MetadataRecord::Kind::event);
    EXPECT_EQ(records[0].timestampUs, 5000000);
    ASSERT_EQ(records[0].items.size(), 1u);
    EXPECT_EQ(records[0].items[0].typeId, "Motion");
    EXPECT_EQ(records[0].items[0].description, "MoveDetect Start");
    EXPECT_TRUE(records[0].items[0].isActive);

    EXPECT_EQ(records[1].kind, MetadataRecord::Kind::object);
    ASSERT_EQ(records[1].items.size(), 1u);
    EXPECT_EQ(records[1].items[0].boundingBox, (Rect{0.25F, 0.5F, 0.5F, 0.5F}));
    EXPECT_EQ(records[1].items[0].trackId, Uuid(Uuid::Bytes{1, 2, 3}));
    EXPECT_EQ(records[1].items[0].attributes,
              (std::vector<std::pair<std::string, std::string>>{{"Gender", "Man"}}));

    EXPECT_EQ(handler->nullPacketCount(), 1);
    EXPECT_EQ(handler->recordCount(), 3);
    EXPECT_EQ(handler->takeRecords().size(), 2u);
    EXPECT_TRUE(handler->records().empty()) << "taken records are forgotten";
    handler->handleMetadata(eventPacket(1).get());
    const auto fresh = handler->takeRecords();
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].timestampUs, 1);
    EXPECT_EQ(handler->recordCount(), 4);
}

TEST(DeviceAgentHandlerTest, WaitsForPacketsFromAnotherThread)
{
    const auto handler = makePtr<DeviceAgentHandler>();
    EXPECT_FALSE(handler->waitForRecords(1, std::chrono::milliseconds(1)));
    std::thread sender([&] { handler->handleMetadata(eventPacket(3).get()); });
    EXPECT_TRUE(handler->waitForRecords(1, std::chrono::seconds(10)));
    sender.join();
    EXPECT_EQ(handler->overlapCount(), 0);
}

TEST(DeviceAgentHandlerTest, RecordsManifestsAndDiagnosticEvents)
{
    const auto handler = makePtr<DeviceAgentHandler>();
    handler->pushManifest(makePtr<String>("{\"a\": 1}").get());
    handler->handlePluginDiagnosticEvent("warning", "Caption", nullptr);
    EXPECT_EQ(handler->manifests(), (std::vector<std::string>{"{\"a\": 1}"}));
    handler->pushManifest(makePtr<String>("{\"b\": 2}").get());
    EXPECT_EQ(handler->takeManifests(), (std::vector<std::string>{"{\"a\": 1}", "{\"b\": 2}"}));
    EXPECT_TRUE(handler->manifests().empty()) << "taken manifests are forgotten";
    ASSERT_EQ(handler->diagnosticEvents().size(), 1u);
    EXPECT_EQ(handler->diagnosticEvents()[0].level, "warning");
    EXPECT_EQ(handler->diagnosticEvents()[0].description, "");
}

}  // namespace
}  // namespace korvane::host
