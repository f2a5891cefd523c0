// Tests of the Engine frame through a small engine derived from it and host doubles.

#include <nx/sdk/analytics/helpers/engine.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "nx_sdk/string_map_test_support.h"

#include <nx/kit/debug.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/helpers/uuid_helper.h>
#include <nx/sdk/ptr.h>

#include "assertion_test_support.h"
#include "host/action.h"
#include "host/device_info.h"
#include "host/engine_handler.h"
#include "host/string_maps.h"

namespace nx::sdk::analytics
{
namespace
{

using test::captureStderr;

using korvane::host::Action;
using korvane::host::ActionDescription;
using korvane::host::EngineHandler;
using korvane::host::EngineInfo;

ActionDescription actionDescription(std::map<std::string, std::string> params)
{
    ActionDescription description;
    description.actionId = "act";
    description.objectTrackId = Uuid(Uuid::Bytes{0xAB, 1});
    description.deviceId = Uuid(Uuid::Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC});
    description.timestampUs = 42;
    description.params = std::move(params);
    return description;
}

// An engine that records what the frame hands to its hooks.
class TestEngine final : public Engine
{
public:
    explicit TestEngine(bool enableOutput) : Engine(enableOutput) {}

    using Engine::currentSettings;
    using Engine::printPrefix;

    void doObtainDeviceAgent(Result<IDeviceAgent*>*, const IDeviceInfo*) override {}

    int m_settingsReceivedCount = 0;
    std::string m_actionId;
    Uuid m_objectTrackId;
    Uuid m_deviceId;
    int64_t m_timestampUs = 0;
    IObjectTrackInfo* m_objectTrackInfo = nullptr;
    std::map<std::string, std::string> m_params;

protected:
    std::string manifestString() const override { return "{\"engine\": 1}"; }
    Result<const ISettingsResponse*> settingsReceived() override
    {
        ++m_settingsReceivedCount;
        return Engine::settingsReceived();
    }
    Result<IActionResult*> executeAction(const std::string& actionId, const Uuid& objectTrackId,
                                         const Uuid& deviceId, int64_t timestampUs,
                                         IObjectTrackInfo* objectTrackInfo,
                                         const std::map<std::string, std::string>& params) override
    {
        m_actionId = actionId;
        m_objectTrackId = objectTrackId;
        m_deviceId = deviceId;
        m_timestampUs = timestampUs;
        m_objectTrackInfo = objectTrackInfo;
        m_params = params;
        return Engine::executeAction(actionId, objectTrackId, deviceId, timestampUs,
                                     objectTrackInfo, params);
    }
};

using korvane::host::makeStringMap;

std::string defaultPrefix()
{
    return "[" + libContext().name() + "_engine] ";
}

class EngineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        captureStderr([&] { m_engine = makePtr<TestEngine>(/*enableOutput*/ true); });
    }
    void TearDown() override
    {
        captureStderr([&] { m_engine.reset(); });
    }

    Ptr<TestEngine> m_engine;
};

// Takes the message out of `error`, releasing it.
std::string takeMessage(Error* error)
{
    const auto message = toPtr(error->errorMessage);
    error->errorMessage = nullptr;
    return message ? message->str() : "<none>";
}

TEST_F(EngineTest, CreationDestructionAndInterfaceIds)
{
    TestEngine* engine = nullptr;
    const std::string created = captureStderr([&] { engine = new TestEngine(false); });
    EXPECT_EQ(created, defaultPrefix() + "Created IEngine @" +
                           nx::kit::debug::toDiagnosticText(static_cast<const void*>(engine)) +
                           " of " + libContext().name() + "\n");

    EXPECT_NE(queryInterfacePtr<IEngine0>(engine), nullptr);
    EXPECT_EQ(toPtr(engine->queryInterface("nx::sdk::analytics::IPlugin")), nullptr);
    EXPECT_EQ(engine->refCount(), 1);
    EXPECT_TRUE(engine->isCompatible(nullptr));

    std::ostringstream address;
    address << static_cast<const void*>(engine);
    const std::string destroyed = captureStderr([&] { engine->releaseRef(); });
    EXPECT_EQ(destroyed, defaultPrefix() + "Destroyed " + address.str() + "\n");
}

TEST_F(EngineTest, EngineInfoSetsThePrintPrefix)
{
    EXPECT_EQ(m_engine->printPrefix(), defaultPrefix());
    const auto info = makePtr<EngineInfo>("E", "Engine name");
    m_engine->setEngineInfo(info.get());
    const std::string withId = "[" + libContext().name() + "_engine_E] ";
    EXPECT_EQ(m_engine->printPrefix(), withId);

    Result<IActionResult*> result;
    EXPECT_EQ(captureStderr([&] { m_engine->doExecuteAction(&result, nullptr); }),
              withId + "doExecuteAction(): INTERNAL ERROR: action is null\n");
    EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
    EXPECT_EQ(takeMessage(&result.error), "Action is null");

    m_engine->setEngineInfo(nullptr);
    EXPECT_EQ(m_engine->printPrefix(), defaultPrefix());
}

TEST_F(EngineTest, ManifestIsAFreshStringEachTime)
{
    Result<const IString*> first;
    Result<const IString*> second;
    m_engine->getManifest(&first);
    m_engine->getManifest(&second);
    const auto firstString = toPtr(first.value);
    const auto secondString = toPtr(second.value);
    ASSERT_NE(firstString, nullptr);
    EXPECT_TRUE(first.isOk());
    EXPECT_NE(firstString, secondString);
    EXPECT_STREQ(firstString->str(), "{\"engine\": 1}");
    EXPECT_EQ(firstString.refCount(), 1);
}

TEST_F(EngineTest, SettingsAccumulateAndArePrintedWhenVerbose)
{
    const std::string p = m_engine->printPrefix();
    Result<const ISettingsResponse*> result;
    const std::string printed = captureStderr(
        [&] {
            m_engine->doSetSettings(&result, makeStringMap({{"a", "1"}, {"q", "x\"y"}}).get());
        });
    EXPECT_TRUE(result.isOk());
    EXPECT_EQ(result.value, nullptr);
    EXPECT_EQ(printed, p + "Received settings:\n" + p + "{\n" + p + "    \"a\": \"1\",\n" + p +
                           "    \"q\": \"x\\\"y\"\n" + p + "}\n");

    captureStderr(
        [&] {
            m_engine->doSetSettings(&result, makeStringMap({{"a", "2"}, {"b", "3"}}).get());
        });
    const std::map<std::string, std::string> expected{{"a", "2"}, {"b", "3"}, {"q", "x\"y"}};
    EXPECT_EQ(m_engine->currentSettings(), expected);
    EXPECT_EQ(m_engine->m_settingsReceivedCount, 2);
}

TEST_F(EngineTest, InvalidSettingsMapIsRejectedAndLeavesTheSettings)
{
    Result<const ISettingsResponse*> result;
    captureStderr([&] { m_engine->doSetSettings(&result, makeStringMap({{"a", "1"}}).get()); });

    const auto negative = makePtr<test::NegativeCountMap>(-3);
    const std::string p = m_engine->printPrefix();
    struct Row
    {
        const IStringMap* map;
        std::string line;
    };
    for (const Row& row : {Row{nullptr, p + "ERROR: stringMap is null\n"},
                           Row{negative.get(), p + "ERROR: Received settings: count is -3\n"}})
    {
        EXPECT_EQ(captureStderr([&] { m_engine->doSetSettings(&result, row.map); }), row.line);
        EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
        EXPECT_EQ(takeMessage(&result.error), "Unable to convert the input string map");
    }
    EXPECT_EQ(m_engine->currentSettings(), (std::map<std::string, std::string>{{"a", "1"}}));
    EXPECT_EQ(m_engine->m_settingsReceivedCount, 1);
}

TEST_F(EngineTest, ActionIsLoggedAndHandedToTheHook)
{
    const auto action = makePtr<Action>(actionDescription({{"k", "v"}}));
    const std::string p = m_engine->printPrefix();

    Result<IActionResult*> result;
    const std::string printed =
        captureStderr([&] { m_engine->doExecuteAction(&result, action.get()); });
    EXPECT_TRUE(result.isOk());
    EXPECT_EQ(result.value, nullptr);
    EXPECT_EQ(printed, p + "doExecuteAction():\n" + p + "{\n" + p + "    actionId: \"act\"\n" + p +
                           "    objectTrackId: {AB010000-0000-0000-0000-000000000000}\n" + p +
                           "    deviceId: {00000000-0000-0000-0000-0C0000000000}\n" + p +
                           "    timestampUs: 42\n" + p + "    params:\n" + p + "    {\n" + p +
                           "        \"k\": \"v\"\n" + p + "    }\n" + p + "}\n");

    EXPECT_EQ(m_engine->m_actionId, "act");
    EXPECT_EQ(m_engine->m_objectTrackId, action->objectTrackId());
    EXPECT_EQ(m_engine->m_deviceId, action->deviceId());
    EXPECT_EQ(m_engine->m_timestampUs, 42);
    EXPECT_EQ(m_engine->m_objectTrackInfo, action->trackInfo().get());
    EXPECT_EQ(m_engine->m_params, (std::map<std::string, std::string>{{"k", "v"}}));

    // The references the action's getters added are released after the call.
    EXPECT_EQ(action->trackInfo().refCount(), 1);
    EXPECT_EQ(action->paramsMap().refCount(), 1);
}

TEST_F(EngineTest, ActionWithoutParametersIsRejected)
{
    TestEngine* quiet = nullptr;
    captureStderr([&] { quiet = new TestEngine(false); });
    auto description = actionDescription({});
    description.hasParams = false;
    const auto action = makePtr<Action>(description);

    Result<IActionResult*> result;
    EXPECT_EQ(captureStderr([&] { quiet->doExecuteAction(&result, action.get()); }),
              defaultPrefix() + "ERROR: stringMap is null\n");
    EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
    EXPECT_EQ(takeMessage(&result.error), "Invalid action parameters");
    EXPECT_TRUE(quiet->m_actionId.empty());
    EXPECT_EQ(action->trackInfo().refCount(), 1);
    captureStderr([&] { quiet->releaseRef(); });
}

TEST_F(EngineTest, HandlerIsKeptWithOneReferenceAndReplaced)
{
    const auto handler = makePtr<EngineHandler>();
    m_engine->setHandler(handler.get());
    m_engine->setHandler(handler.get());
    EXPECT_EQ(handler.refCount(), 2);

    const auto other = makePtr<EngineHandler>();
    m_engine->setHandler(other.get());
    EXPECT_EQ(handler.refCount(), 1);
    EXPECT_EQ(other.refCount(), 2);

    captureStderr([&] { m_engine.reset(); });
    EXPECT_EQ(other.refCount(), 1);
}

}  // namespace
}  // namespace nx::sdk::analytics
