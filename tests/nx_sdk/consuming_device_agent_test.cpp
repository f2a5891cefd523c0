// Tests of ConsumingDeviceAgent: packet routing, delivery to the handler, logging, settings
// and failures, through a small agent derived from the frame and recording host doubles.

#include <nx/sdk/analytics/helpers/consuming_device_agent.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "nx_sdk/string_map_test_support.h"

#include <nx/sdk/analytics/helpers/event_metadata.h>
#include <nx/sdk/analytics/helpers/event_metadata_packet.h>
#include <nx/sdk/analytics/helpers/object_metadata.h>
#include <nx/sdk/analytics/helpers/object_metadata_packet.h>
#include <nx/sdk/analytics/i_object_track_best_shot_packet.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"
#include "host/data_packets.h"
#include "host/device_agent_handler.h"
#include "host/device_info.h"
#include "host/string_maps.h"

namespace nx::sdk::analytics
{
namespace
{

using test::assertionLine;
using test::captureStderr;
using test::withoutLineNumbers;

constexpr const char* kSourcePath = "nx/sdk/analytics/helpers/consuming_device_agent.cpp";

using korvane::host::DeviceAgentHandler;
using korvane::host::DeviceDescription;
using korvane::host::DeviceInfo;

Ptr<DeviceInfo> makeDeviceInfo(const std::string& id)
{
    DeviceDescription description;
    description.id = id;
    return makePtr<DeviceInfo>(description);
}

// The timestamps of the packets `handler` received, in arrival order.
std::vector<int64_t> timestamps(const DeviceAgentHandler& handler)
{
    std::vector<int64_t> result;
    for (const auto& record : handler.records())
        result.push_back(record.timestampUs);
    return result;
}

// An agent whose hooks count their calls and answer as configured.
class TestAgent final : public ConsumingDeviceAgent
{
public:
    TestAgent(const IDeviceInfo* deviceInfo, bool enableOutput)
        : ConsumingDeviceAgent(deviceInfo, enableOutput)
    {
    }

    using ConsumingDeviceAgent::currentSettings;
    using ConsumingDeviceAgent::printPrefix;
    using ConsumingDeviceAgent::pushManifest;
    using ConsumingDeviceAgent::pushMetadataPacket;
    using ConsumingDeviceAgent::settingValue;

    void doSetNeededMetadataTypes(Result<void>*, const IStringMap*) override {}

    bool m_hookResult = true;
    bool m_pullResult = true;
    std::vector<IMetadataPacket*> m_packetsToPull;
    std::vector<std::string> m_hookCalls;
    int m_settingsReceivedCount = 0;

protected:
    std::string manifestString() const override { return "{\"agent\": 1}"; }
    bool pushCompressedVideoFrame(const ICompressedVideoPacket*) override
    {
        return hook("compressed");
    }
    bool pushUncompressedVideoFrame(const IUncompressedVideoFrame*) override
    {
        return hook("uncompressed");
    }
    bool pushCustomMetadataPacket(const ICustomMetadataPacket*) override { return hook("custom"); }
    bool pullMetadataPackets(std::vector<IMetadataPacket*>* metadataPackets) override
    {
        *metadataPackets = std::exchange(m_packetsToPull, {});
        return m_pullResult;
    }
    Result<const ISettingsResponse*> settingsReceived() override
    {
        ++m_settingsReceivedCount;
        return {};
    }

private:
    bool hook(const char* name)
    {
        m_hookCalls.push_back(name);
        return m_hookResult;
    }
};

// A compressed packet or uncompressed frame that also answers ICustomMetadataPacket, to
// check the order in which the frame tries the packet kinds.
template <class Packet>
class AlsoCustomPacket final : public Packet
{
public:
    using Packet::Packet;
    IRefCountable* queryInterface(const char* id) override
    {
        if (detail::sameId(id, ICustomMetadataPacket::interfaceId()))
        {
            this->addRef();
            return this;  //< Good enough: the agent only counts the hook call.
        }
        return Packet::queryInterface(id);
    }
};

// A host data packet of no kind the agent knows.
class PlainDataPacket final : public RefCountable<IDataPacket>
{
public:
    explicit PlainDataPacket(int64_t timestampUs) : m_timestampUs(timestampUs) {}
    int64_t timestampUs() const override { return m_timestampUs; }

private:
    const int64_t m_timestampUs;
};

using korvane::host::CompressedVideoPacket;
using korvane::host::CustomMetadataPacket;
using korvane::host::UncompressedVideoFrame;

class BestShotPacket final : public RefCountable<IObjectTrackBestShotPacket>
{
public:
    int64_t timestampUs() const override { return 5; }
    int64_t durationUs() const override { return -1; }
    NX_SDK_RETURN_BY_VALUE_OVERRIDE(Uuid, trackId) { return Uuid(); }
    NX_SDK_RETURN_BY_VALUE_OVERRIDE(Rect, boundingBox) { return Rect(); }
    const char* imageUrl() const override { return nullptr; }
};

class UnknownMetadataPacket final : public RefCountable<IMetadataPacket>
{
public:
    int64_t timestampUs() const override { return 5; }
    int64_t durationUs() const override { return -1; }
};

Ptr<EventMetadataPacket> makeEventPacket(int64_t timestampUs, const std::vector<std::string>& ids)
{
    auto packet = makePtr<EventMetadataPacket>();
    packet->setTimestampUs(timestampUs);
    for (const auto& id : ids)
    {
        const auto item = makePtr<EventMetadata>();
        item->setTypeId(id);
        packet->addItem(item.get());
    }
    return packet;
}

using korvane::host::makeStringMap;

std::string addressText(const void* p)
{
    std::ostringstream stream;
    stream << p;
    return stream.str();
}

class ConsumingDeviceAgentTest : public testing::Test
{
protected:
    void SetUp() override { m_agent = makeAgent(/*enableOutput*/ true); }
    void TearDown() override
    {
        captureStderr([&] { m_agent.reset(); });
    }

    Ptr<TestAgent> makeAgent(bool enableOutput)
    {
        Ptr<TestAgent> agent;
        captureStderr([&] { agent = makePtr<TestAgent>(m_deviceInfo.get(), enableOutput); });
        return agent;
    }

    // Pushes `packet` and returns what was printed; the result goes to `outResult`.
    std::string push(IDataPacket* packet, Result<void>* outResult, TestAgent* agent = nullptr)
    {
        TestAgent* const target = agent ? agent : m_agent.get();
        return captureStderr([&] { target->doPushDataPacket(outResult, packet); });
    }

    std::string prefix() const { return m_agent->printPrefix(); }

    const Ptr<DeviceInfo> m_deviceInfo = makeDeviceInfo("D1");
    const Ptr<DeviceAgentHandler> m_handler = makePtr<DeviceAgentHandler>();
    Ptr<TestAgent> m_agent;
};

void expectError(Result<void>* result, ErrorCode code, const std::string& message)
{
    EXPECT_EQ(result->error.errorCode, code);
    ASSERT_NE(result->error.errorMessage, nullptr);
    EXPECT_EQ(result->error.errorMessage->str(), message);
    result->error.errorMessage->releaseRef();
    result->error.errorMessage = nullptr;
}

TEST_F(ConsumingDeviceAgentTest, ConstructionAndDestructionAreLoggedWithTheDevicePrefix)
{
    const std::string expectedPrefix = "[" + libContext().name() + "_device_D1] ";
    EXPECT_EQ(prefix(), expectedPrefix);

    TestAgent* agent = nullptr;
    const std::string created =
        captureStderr([&] { agent = new TestAgent(m_deviceInfo.get(), false); });
    EXPECT_EQ(created, expectedPrefix + "Created " + addressText(agent) + "\n");
    const std::string destroyed = captureStderr([&] { agent->releaseRef(); });
    EXPECT_EQ(destroyed, expectedPrefix + "Destroyed " + addressText(agent) + "\n");
}

TEST_F(ConsumingDeviceAgentTest, NullDeviceInfoIsAnAssertionAndLeavesTheIdOut)
{
    TestAgent* agent = nullptr;
    const std::string printed = captureStderr([&] { agent = new TestAgent(nullptr, false); });
    const std::string expectedPrefix = "[" + libContext().name() + "_device] ";
    EXPECT_EQ(withoutLineNumbers(printed),
              assertionLine(expectedPrefix, kSourcePath, "deviceInfo", "") + expectedPrefix +
                  "Created " + addressText(agent) + "\n");
    captureStderr([&] { agent->releaseRef(); });
}

TEST_F(ConsumingDeviceAgentTest, DataPacketFailuresGiveAResultAndOneLine)
{
    struct Row
    {
        const char* name;
        Ptr<IDataPacket> packet;
        bool hookResult;
        bool installHandler;
        bool pullResult;
        ErrorCode code;
        std::string message;
        std::vector<std::string> hookCalls;
    };
    const std::vector<Row> rows = {
        {"null packet",
         nullptr,
         true,
         true,
         true,
         ErrorCode::invalidParams,
         "dataPacket is null; discarding it.",
         {}},
        {"negative timestamp",
         makePtr<CompressedVideoPacket>(-1),
         true,
         true,
         true,
         ErrorCode::invalidParams,
         "dataPacket has invalid timestamp -1; discarding the packet.",
         {}},
        {"unknown kind",
         makePtr<PlainDataPacket>(1),
         true,
         true,
         true,
         ErrorCode::invalidParams,
         "Unsupported frame supplied; ignored.",
         {}},
        {"compressed hook",
         makePtr<CompressedVideoPacket>(1),
         false,
         true,
         true,
         ErrorCode::otherError,
         "pushCompressedVideoFrame() failed.",
         {"compressed"}},
        {"uncompressed hook",
         makePtr<UncompressedVideoFrame>(1),
         false,
         true,
         true,
         ErrorCode::otherError,
         "pushUncompressedVideoFrame() failed.",
         {"uncompressed"}},
        {"custom hook",
         makePtr<CustomMetadataPacket>(1, "json", ""),
         false,
         true,
         true,
         ErrorCode::otherError,
         "pushCustomMetadataPacket() failed.",
         {"custom"}},
        {"no handler",
         makePtr<CompressedVideoPacket>(1),
         true,
         false,
         true,
         ErrorCode::internalError,
         "setHandler() was not called.",
         {"compressed"}},
        {"pull fails",
         makePtr<CompressedVideoPacket>(1),
         true,
         true,
         false,
         ErrorCode::otherError,
         "pullMetadataPackets() failed.",
         {"compressed"}},
    };

    for (const bool enableOutput : {true, false})
    {
        for (const Row& row : rows)
        {
            SCOPED_TRACE(std::string(row.name) + (enableOutput ? ", verbose" : ", quiet"));
            const auto agent = makeAgent(enableOutput);
            const std::string p = agent->printPrefix();
            agent->m_hookResult = row.hookResult;
            agent->m_pullResult = row.pullResult;
            if (row.installHandler)
                agent->setHandler(m_handler.get());

            Result<void> result;
            const std::string printed = push(row.packet.get(), &result, agent.get());
            expectError(&result, row.code, row.message);
            const std::string errorLine = p + "doPushDataPacket() " + (enableOutput ? "END " : "") +
                                          "-> " + toString(row.code) + ": " + row.message + "\n";
            EXPECT_EQ(printed,
                      enableOutput ? p + "doPushDataPacket() BEGIN\n" + errorLine : errorLine);
            EXPECT_EQ(agent->m_hookCalls, row.hookCalls);
            if (row.packet)
            {
                EXPECT_EQ(row.packet.refCount(), 1);
            }
            captureStderr([&] { agent->setHandler(nullptr); });
        }
    }
    EXPECT_TRUE(timestamps(*m_handler).empty());
    EXPECT_EQ(m_handler.refCount(), 1);
}

TEST_F(ConsumingDeviceAgentTest, FailedPullReleasesThePacketsItProduced)
{
    m_agent->setHandler(m_handler.get());
    const auto packet = makeEventPacket(1, {"T"});
    packet->addRef();  //< The reference the pull hook hands over.
    m_agent->m_packetsToPull = {packet.get()};
    m_agent->m_pullResult = false;

    const auto video = makePtr<CompressedVideoPacket>(1);
    Result<void> result;
    push(video.get(), &result);
    expectError(&result, ErrorCode::otherError, "pullMetadataPackets() failed.");
    EXPECT_EQ(packet.refCount(), 1);
    EXPECT_TRUE(timestamps(*m_handler).empty());
}

TEST_F(ConsumingDeviceAgentTest, PacketKindsAreTriedCompressedThenUncompressedThenCustom)
{
    m_agent->setHandler(m_handler.get());
    const auto compressedAndCustom = makePtr<AlsoCustomPacket<CompressedVideoPacket>>(0);
    const auto uncompressedAndCustom = makePtr<AlsoCustomPacket<UncompressedVideoFrame>>(0);
    const auto custom = makePtr<CustomMetadataPacket>(0, "json", "");

    for (IDataPacket* packet : std::vector<IDataPacket*>{compressedAndCustom.get(),
                                                         uncompressedAndCustom.get(), custom.get()})
    {
        Result<void> result;
        const std::string printed = push(packet, &result);
        EXPECT_TRUE(result.isOk());  //< Timestamp 0 is accepted.
        EXPECT_EQ(printed,
                  prefix() + "doPushDataPacket() BEGIN\n" + prefix() + "doPushDataPacket() END\n");
    }
    EXPECT_EQ(m_agent->m_hookCalls,
              (std::vector<std::string>{"compressed", "uncompressed", "custom"}));
    EXPECT_EQ(compressedAndCustom.refCount(), 1);
    EXPECT_EQ(uncompressedAndCustom.refCount(), 1);
}

TEST_F(ConsumingDeviceAgentTest, PulledPacketsAreDeliveredInOrderAndReleased)
{
    m_agent->setHandler(m_handler.get());
    const auto first = makeEventPacket(10, {"A"});
    const auto second = makeEventPacket(20, {"B", "C"});
    first->addRef();
    second->addRef();
    m_agent->m_packetsToPull = {first.get(), nullptr, second.get()};

    const auto video = makePtr<CompressedVideoPacket>(1);
    Result<void> result;
    const std::string printed = push(video.get(), &result);
    EXPECT_TRUE(result.isOk());

    const std::string p = prefix() + "";
    const std::string log = p + "logMetadataPacketIfNeeded(): ";
    EXPECT_EQ(printed, p + "doPushDataPacket() BEGIN\n" + p +
                           "processMetadataPackets(): Producing 3 metadata packet(s).\n" + log +
                           "Event metadata packet #0 contains 1 item of type A.\n" + p +
                           "processMetadataPacket(): WARNING: Null metadata packet #1 found; "
                           "discarded.\n" +
                           log + "Event metadata packet #2 contains 2 item(s).\n" + p +
                           "doPushDataPacket() END\n");
    EXPECT_EQ(timestamps(*m_handler), (std::vector<int64_t>{10, 20}));
    EXPECT_EQ(first.refCount(), 1);
    EXPECT_EQ(second.refCount(), 1);
}

TEST_F(ConsumingDeviceAgentTest, VerboseLogDescribesEachKindOfMetadataPacket)
{
    m_agent->setHandler(m_handler.get());
    const std::string log = prefix() + "logMetadataPacketIfNeeded(): ";

    const auto objects = makePtr<ObjectMetadataPacket>();
    objects->setTimestampUs(0);
    for (int i = 0; i < 2; ++i)
        objects->addItem(makePtr<ObjectMetadata>().get());

    struct Row
    {
        Ptr<IMetadataPacket> packet;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {makeEventPacket(7, {"T"}), log + "Event metadata packet contains 1 item of type T.\n"},
        {makeEventPacket(7, {"T", "U", "V"}), log + "Event metadata packet contains 3 item(s).\n"},
        {makeEventPacket(7, {}), log + "WARNING: Event metadata packet is empty.\n"},
        {objects, log + "Object metadata packet contains 2 item(s).\n" + log +
                      "WARNING: Object metadata packet has timestamp 0.\n"},
        {makePtr<BestShotPacket>(), ""},
        {makePtr<UnknownMetadataPacket>(), log + "WARNING: Metadata packet has unknown type.\n"},
    };
    for (const Row& row : rows)
    {
        const int32_t countBefore = row.packet.refCount();
        row.packet->addRef();  //< The reference pushMetadataPacket takes over.
        EXPECT_EQ(captureStderr([&] { m_agent->pushMetadataPacket(row.packet.get()); }),
                  row.expected);
        EXPECT_EQ(row.packet.refCount(), countBefore);
    }
    EXPECT_EQ(timestamps(*m_handler), (std::vector<int64_t>{7, 7, 7, 0, 5, 5}));
}

TEST_F(ConsumingDeviceAgentTest, QuietAgentDeliversWithoutLogging)
{
    const auto agent = makeAgent(/*enableOutput*/ false);
    agent->setHandler(m_handler.get());
    const auto packet = makeEventPacket(0, {});
    packet->addRef();
    EXPECT_EQ(captureStderr([&] { agent->pushMetadataPacket(packet.get()); }), "");
    EXPECT_EQ(timestamps(*m_handler), (std::vector<int64_t>{0}));
    captureStderr([&] { agent->setHandler(nullptr); });
}

TEST_F(ConsumingDeviceAgentTest, MetadataPacketWithoutHandlerIsDroppedAndReleased)
{
    const auto packet = makeEventPacket(1, {"T"});
    packet->addRef();
    EXPECT_EQ(captureStderr([&] { m_agent->pushMetadataPacket(packet.get()); }),
              prefix() +
                  "processMetadataPacket(): INTERNAL ERROR: setHandler() was not called; "
                  "ignoring the packet\n");
    EXPECT_EQ(packet.refCount(), 1);

    // A null packet is tolerated too.
    m_agent->setHandler(m_handler.get());
    EXPECT_EQ(captureStderr([&] { m_agent->pushMetadataPacket(nullptr); }),
              prefix() +
                  "processMetadataPacket(): WARNING: Null metadata packet found; "
                  "discarded.\n");
    EXPECT_TRUE(timestamps(*m_handler).empty());
}

TEST_F(ConsumingDeviceAgentTest, NegativeMetadataTimestampIsAnAssertionButStillDelivered)
{
    m_agent->setHandler(m_handler.get());
    const auto packet = makeEventPacket(-1, {"T"});
    packet->addRef();
    const std::string printed = captureStderr([&] { m_agent->pushMetadataPacket(packet.get()); });
    EXPECT_EQ(withoutLineNumbers(printed),
              prefix() +
                  "logMetadataPacketIfNeeded(): Event metadata packet contains 1 item of "
                  "type T.\n" +
                  assertionLine(prefix(), kSourcePath, "metadataPacket->timestampUs() >= 0", ""));
    EXPECT_EQ(timestamps(*m_handler), (std::vector<int64_t>{-1}));
}

TEST_F(ConsumingDeviceAgentTest, SettingsAccumulateAndMissingOnesAreReported)
{
    Result<const ISettingsResponse*> result;
    const std::string printed = captureStderr(
        [&] {
            m_agent->doSetSettings(&result, makeStringMap({{"a", "1"}}).get());
        });
    EXPECT_TRUE(result.isOk());
    EXPECT_EQ(printed, prefix() + "Received settings:\n" + prefix() + "{\n" + prefix() +
                           "    \"a\": \"1\"\n" + prefix() + "}\n");
    captureStderr([&] { m_agent->doSetSettings(&result, makeStringMap({{"b", "2"}}).get()); });
    EXPECT_EQ(m_agent->m_settingsReceivedCount, 2);

    EXPECT_EQ(m_agent->settingValue("a"), "1");
    EXPECT_EQ(m_agent->settingValue("b"), "2");
    EXPECT_EQ(m_agent->currentSettings().size(), 2u);

    std::string value = "x";
    EXPECT_EQ(
        captureStderr([&] { value = m_agent->settingValue("c\"d"); }),
        prefix() + "ERROR: Requested setting \"c\\\"d\" is missing; implying empty string.\n");
    EXPECT_EQ(value, "");
}

TEST_F(ConsumingDeviceAgentTest, InvalidSettingsMapIsRejectedAndKeepsTheSettings)
{
    Result<const ISettingsResponse*> result;
    captureStderr([&] { m_agent->doSetSettings(&result, makeStringMap({{"a", "1"}}).get()); });

    const auto negative = makePtr<test::NegativeCountMap>(-1);
    struct Row
    {
        const IStringMap* map;
        std::string line;
    };
    for (const Row& row : {Row{nullptr, "ERROR: stringMap is null"},
                           Row{negative.get(), "ERROR: Received settings: count is -1"}})
    {
        // The conversion's error line is printed even by a quiet agent.
        const auto quiet = makeAgent(/*enableOutput*/ false);
        for (TestAgent* agent : {m_agent.get(), quiet.get()})
        {
            const std::string printed =
                captureStderr([&] { agent->doSetSettings(&result, row.map); });
            EXPECT_EQ(printed, agent->printPrefix() + row.line + "\n");
            EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
            ASSERT_NE(result.error.errorMessage, nullptr);
            EXPECT_STREQ(result.error.errorMessage->str(), "Settings are invalid");
            result.error.errorMessage->releaseRef();
            result = {};
        }
    }
    EXPECT_EQ(m_agent->m_settingsReceivedCount, 1);
    EXPECT_EQ(m_agent->currentSettings(), (std::map<std::string, std::string>{{"a", "1"}}));
}

TEST_F(ConsumingDeviceAgentTest, HandlerIsKeptWithOneReferenceAndReplaced)
{
    m_agent->setHandler(m_handler.get());
    m_agent->setHandler(m_handler.get());
    EXPECT_EQ(m_handler.refCount(), 2);

    const auto other = makePtr<DeviceAgentHandler>();
    m_agent->setHandler(other.get());
    EXPECT_EQ(m_handler.refCount(), 1);
    EXPECT_EQ(other.refCount(), 2);

    m_agent->pushManifest("{\"m\": 2}");
    EXPECT_EQ(other->manifests(), (std::vector<std::string>{"{\"m\": 2}"}));
    EXPECT_TRUE(m_handler->manifests().empty());

    captureStderr([&] { m_agent.reset(); });
    EXPECT_EQ(other.refCount(), 1);
}

TEST_F(ConsumingDeviceAgentTest, ManifestIsNotSentWithoutHandlerAndGetManifestIsFresh)
{
    m_agent->pushManifest("{}");  //< Nothing to send to; must not crash.

    Result<const IString*> first;
    Result<const IString*> second;
    m_agent->getManifest(&first);
    m_agent->getManifest(&second);
    const auto firstString = toPtr(first.value);
    const auto secondString = toPtr(second.value);
    ASSERT_NE(firstString, nullptr);
    EXPECT_NE(firstString, secondString);
    EXPECT_STREQ(firstString->str(), "{\"agent\": 1}");
    EXPECT_EQ(firstString.refCount(), 1);

    EXPECT_EQ(captureStderr([&] { m_agent->finalize(); }), prefix() + "finalize()\n");
}

TEST_F(ConsumingDeviceAgentTest, ConcurrentPushesAreDeliveredOneAfterTheOther)
{
    const auto agent = makeAgent(/*enableOutput*/ false);
    agent->setHandler(m_handler.get());
    constexpr int kPacketsPerThread = 500;

    const auto pushMany = [&](int64_t base)
    {
        for (int i = 0; i < kPacketsPerThread; ++i)
            agent->pushMetadataPacket(makeEventPacket(base + i, {"T"}).releasePtr());
    };
    std::thread first(pushMany, 0);
    std::thread second(pushMany, kPacketsPerThread);
    first.join();
    second.join();

    EXPECT_EQ(m_handler->overlapCount(), 0);
    EXPECT_EQ(timestamps(*m_handler).size(), 2u * kPacketsPerThread);
    captureStderr([&] { agent->setHandler(nullptr); });
}

}  // namespace
}  // namespace nx::sdk::analytics
