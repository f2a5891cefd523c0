// Loads the built plugin library by path, as the server does, and drives its entry points.

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/ptr.h>
#include "ostrel_sdk/ostrel_control.h"

#include "nx_sdk/assertion_test_support.h"
#include "plugin/plugin_library_test_support.h"

namespace
{

using namespace nx::sdk;
using korvane::test::pluginLibrary;

TEST(LibraryEntryTest, OpensByPathAndReportsTheSdkVersion)
{
    const auto* library = pluginLibrary();
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->sdkVersion(), "5.1.2 R2");
    EXPECT_EQ(library->libraryName(), korvane::test::kTestLibraryName);

    std::string errorMessage;
    EXPECT_EQ(korvane::host::PluginLibrary::open("/nonexistent/libplugin.so", "x", &errorMessage),
              nullptr);
    EXPECT_EQ(errorMessage.rfind("Unable to load /nonexistent/libplugin.so: ", 0), 0u)
        << errorMessage;
}

// Exits with 0 when a failed Camera SDK start makes createNxPlugin return null and is
// retried by the next call, and a successful one is never repeated. Needs a process in
// which the library has not created a plugin yet.
void checkCameraSdkStartIsRetriedUntilItSucceeds()
{
    const auto* library = pluginLibrary();
    ostrel::control::reset();
    ostrel::control::failInit(1);
    bool refused = false;
    const std::string printed =
        nx::sdk::test::captureStderr([&] { refused = library && !library->createPlugin(); });
    refused = refused && printed.find(
                             "[library_entry] ERROR: The Camera SDK could not be "
                             "initialised (OSTREL_GetLastError() = 1)") != std::string::npos;
    const bool triedOnce = ostrel::control::initCallCount() == 1;
    const bool created = library && library->createPlugin() && library->createPlugin();
    const bool startedOnce = ostrel::control::initCallCount() == 2;
    std::exit(refused && triedOnce && created && startedOnce ? 0 : 1);
}

TEST(LibraryEntryTest, CameraSdkStartFailureIsRetriedUntilItSucceeds)
{
    // The check runs in a fresh process: this one may have started the Camera SDK already.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(checkCameraSdkStartIsRetriedUntilItSucceeds(), testing::ExitedWithCode(0),
                "\\[plugin\\] Created IPlugin @\\w+ of korvane_test");
}

TEST(LibraryEntryTest, PluginAnswersItsIdsAndManifest)
{
    const auto* library = pluginLibrary();
    ASSERT_NE(library, nullptr);
    const int liveBefore = library->objects().liveCount();
    testing::internal::CaptureStderr();
    {
        const auto plugin = library->createPlugin();
        ASSERT_TRUE(plugin);
        EXPECT_EQ(liveBefore + 1, library->objects().liveCount());
        EXPECT_TRUE(queryInterfacePtr<IPlugin>(plugin));
        EXPECT_TRUE(queryInterfacePtr<IRefCountable>(plugin));
        EXPECT_EQ(nullptr, plugin->queryInterface("nx::sdk::analytics::IEngine"));

        Result<const IString*> manifest;
        plugin->getManifest(&manifest);
        ASSERT_TRUE(manifest.isOk());
        const Ptr<const IString> text(manifest.value);
        ASSERT_TRUE(text);
        EXPECT_EQ(187u, std::string(text->str()).size());
        EXPECT_EQ(
            0,
            std::string(text->str()).rfind("{\n     \"id\": \"Korvane events analytics\",\n", 0));
    }
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, output.find("[plugin] Destroyed IPlugin @")) << output;
}

}  // namespace
