// The plugin's Engine, driven through the loaded plugin library as the server drives it.

#include <string>

#include <gtest/gtest.h>

#include <nx/kit/json.h>
#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/analytics/i_engine.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/ptr.h>
#include "ostrel_sdk/ostrel_control.h"

#include "host/device_info.h"
#include "host/engine_handler.h"
#include "host/host_object.h"
#include "nx_sdk/assertion_test_support.h"
#include "plugin/plugin_library_test_support.h"

namespace
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using korvane::host::DeviceDescription;
using korvane::host::DeviceInfo;
using nx::sdk::test::captureStderr;

// Takes the text out of a string result, releasing it.
std::string takeText(Result<const IString*>* result)
{
    const Ptr<const IString> text(result->value);
    result->value = nullptr;
    return text ? text->str() : "<null>";
}

// Takes the message out of an error, releasing it.
std::string takeMessage(Error* error)
{
    const Ptr<const IString> message(error->errorMessage);
    error->errorMessage = nullptr;
    return message ? message->str() : "<none>";
}

class EngineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const auto* library = korvane::test::pluginLibrary();
        ASSERT_NE(library, nullptr);
        ostrel::control::reset();
        captureStderr(
            [&]
            {
                m_plugin = library->createPlugin();
                ASSERT_TRUE(m_plugin);
                m_plugin->setHostObject(makePtr<korvane::host::HostObject>().get());
                Result<IEngine*> engine;
                m_plugin->doCreateEngine(&engine);
                ASSERT_TRUE(engine.isOk());
                m_engine = toPtr(engine.value);
            });
        ASSERT_TRUE(m_engine);
    }

    void TearDown() override
    {
        captureStderr(
            [&]
            {
                m_engine.reset();
                m_plugin.reset();
            });
    }

    // Asks the engine for an agent of `description`; prints go to `*printed`.
    Result<IDeviceAgent*> obtainAgent(const DeviceInfo* deviceInfo, std::string* printed)
    {
        Result<IDeviceAgent*> result;
        *printed = captureStderr([&] { m_engine->doObtainDeviceAgent(&result, deviceInfo); });
        return result;
    }

    Ptr<analytics::IPlugin> m_plugin;
    Ptr<IEngine> m_engine;
};

DeviceDescription camera(const std::string& url)
{
    DeviceDescription description;
    description.id = "cam1";
    description.url = url;
    description.login = "admin";
    description.password = "secret";
    return description;
}

TEST_F(EngineTest, BothManifestsAreFreshJsonObjects)
{
    Result<const IString*> pluginManifest;
    m_plugin->getManifest(&pluginManifest);
    ASSERT_TRUE(pluginManifest.isOk());
    Result<const IString*> first;
    Result<const IString*> second;
    m_engine->getManifest(&first);
    m_engine->getManifest(&second);
    ASSERT_TRUE(first.isOk());
    EXPECT_NE(first.value, second.value) << "each call returns a new string";

    for (Result<const IString*>* result : {&pluginManifest, &first, &second})
    {
        std::string parseError;
        const auto json = nx::kit::Json::parse(takeText(result), &parseError);
        EXPECT_TRUE(parseError.empty()) << parseError;
        EXPECT_TRUE(json.isObject());
    }
}

TEST_F(EngineTest, AnswersItsIdsAndServesEveryDevice)
{
    EXPECT_TRUE(queryInterfacePtr<IEngine0>(m_engine));
    EXPECT_EQ(m_engine->queryInterface("nx::sdk::analytics::IPlugin"), nullptr);
    EXPECT_TRUE(m_engine->isCompatible(nullptr));
    const auto info = makePtr<DeviceInfo>(camera("http://10.0.0.1/"));
    EXPECT_TRUE(m_engine->isCompatible(info.get()));
}

TEST_F(EngineTest, NullDeviceInfoGivesInvalidParamsAndNoAgent)
{
    std::string printed;
    Result<IDeviceAgent*> result = obtainAgent(nullptr, &printed);
    EXPECT_EQ(result.value, nullptr);
    EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
    EXPECT_EQ(takeMessage(&result.error), "deviceInfo is null");
    EXPECT_EQ(printed, "[korvane_test_engine] doObtainDeviceAgent(): ERROR: deviceInfo is null\n");
}

TEST_F(EngineTest, MalformedCameraUrlGivesInvalidParamsWithTheParserMessage)
{
    const auto info = makePtr<korvane::host::EngineInfo>("E7", "Korvane");
    m_engine->setEngineInfo(info.get());
    const struct
    {
        const char* url;
        const char* message;
    } kCases[] = {
        {"10.0.0.1", "Invalid URL format"},
        {"http://10.0.0.1:abc/", "Invalid port number"},
        {"http://10.0.0.1:99999999999/", "stoi argument out of range"},
    };
    for (const auto& c : kCases)
    {
        std::string printed;
        Result<IDeviceAgent*> result =
            obtainAgent(makePtr<DeviceInfo>(camera(c.url)).get(), &printed);
        EXPECT_EQ(result.value, nullptr) << c.url;
        EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams) << c.url;
        EXPECT_EQ(takeMessage(&result.error), c.message) << c.url;
        EXPECT_NE(printed.find(std::string("[korvane_test_engine_E7] doObtainDeviceAgent(): "
                                           "ERROR: ") +
                               c.message + "\n"),
                  std::string::npos)
            << printed;
    }
}

// Device information whose texts are all null.
class NullTextDeviceInfo final : public RefCountable<IDeviceInfo>
{
public:
    const char* id() const override { return nullptr; }
    const char* vendor() const override { return nullptr; }
    const char* model() const override { return nullptr; }
    const char* firmware() const override { return nullptr; }
    const char* name() const override { return nullptr; }
    const char* url() const override { return nullptr; }
    const char* login() const override { return nullptr; }
    const char* password() const override { return nullptr; }
    const char* sharedId() const override { return nullptr; }
    const char* logicalId() const override { return nullptr; }
    int32_t channelNumber() const override { return 0; }
};

TEST_F(EngineTest, NullDeviceTextsCountAsEmpty)
{
    std::string printed;
    Result<IDeviceAgent*> result;
    printed = captureStderr(
        [&] { m_engine->doObtainDeviceAgent(&result, makePtr<NullTextDeviceInfo>().get()); });
    EXPECT_EQ(result.value, nullptr);
    EXPECT_EQ(result.error.errorCode, ErrorCode::invalidParams);
    EXPECT_EQ(takeMessage(&result.error), "Invalid URL format");
}

TEST_F(EngineTest, WellFormedCameraGivesAConsumingDeviceAgent)
{
    std::string printed;
    const auto info = makePtr<DeviceInfo>(camera("http://10.0.0.1:8000/"));
    Result<IDeviceAgent*> result = obtainAgent(info.get(), &printed);
    ASSERT_TRUE(result.isOk());
    auto agent = toPtr(result.value);
    ASSERT_TRUE(agent);
    EXPECT_TRUE(queryInterfacePtr<IConsumingDeviceAgent>(agent));
    EXPECT_NE(printed.find("[korvane_test_device_cam1] Created "), std::string::npos) << printed;
    const std::string destroyed = captureStderr([&] { agent.reset(); });
    EXPECT_NE(destroyed.find("[korvane_test_device_cam1] Destroyed "), std::string::npos);
}

}  // namespace
