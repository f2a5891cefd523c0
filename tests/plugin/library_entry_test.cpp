// Loads the built plugin library by path, as the server does, and drives its entry points.

#include <dlfcn.h>

#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/i_lib_context.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/ptr.h>
#include <ostrel_control.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>

namespace
{

using namespace nx::sdk;

// Tracks live objects by address; shared with the loaded library, which owns it.
struct LiveObjects
{
    std::mutex mutex;
    std::set<const IRefCountable*> live;
    int doubleDestroys = 0;
};

class TrackingRegistry : public IRefCountableRegistry
{
public:
    explicit TrackingRegistry(LiveObjects* objects) : m_objects(objects) {}
    void notifyCreated(const IRefCountable* object, int32_t) override
    {
        std::lock_guard<std::mutex> lock(m_objects->mutex);
        m_objects->live.insert(object);
    }
    void notifyDestroyed(const IRefCountable* object, int32_t) override
    {
        std::lock_guard<std::mutex> lock(m_objects->mutex);
        if (m_objects->live.erase(object) == 0)
            ++m_objects->doubleDestroys;
    }

private:
    LiveObjects* const m_objects;
};

class PluginLibrary
{
public:
    PluginLibrary() : m_handle(dlopen(KORVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~PluginLibrary() = default;  //< Never unloaded: the registry lives in it.

    template <typename F>
    F symbol(const char* name) const
    {
        return m_handle ? reinterpret_cast<F>(dlsym(m_handle, name)) : nullptr;
    }

    bool loaded() const { return m_handle != nullptr; }

private:
    void* const m_handle;
};

LiveObjects& liveObjects()
{
    static LiveObjects objects;
    return objects;
}

const PluginLibrary& library()
{
    static const PluginLibrary lib;
    static std::once_flag setUp;
    std::call_once(setUp,
                   []()
                   {
                       auto libContext = lib.symbol<ILibContext* (*)()>("nxLibContext");
                       if (!libContext)
                           return;
                       libContext()->setName("korvane_test");
                       libContext()->setRefCountableRegistry(new TrackingRegistry(&liveObjects()));
                   });
    return lib;
}

int liveCount()
{
    std::lock_guard<std::mutex> lock(liveObjects().mutex);
    return static_cast<int>(liveObjects().live.size());
}

TEST(LibraryEntryTest, ExportsTheFourEntryPoints)
{
    ASSERT_TRUE(library().loaded()) << dlerror();
    for (const char* name :
         {"createNxPlugin", "nxLibContext", "nxSdkVersion", "nxSetUnitTestOptions"})
        EXPECT_NE(nullptr, library().symbol<void*>(name)) << name;
    const auto version = library().symbol<const char* (*)()>("nxSdkVersion");
    ASSERT_NE(nullptr, version);
    EXPECT_STREQ("5.1.2 R2", version());
}

TEST(LibraryEntryTest, CameraSdkInitFailureIsRetriedUntilItSucceeds)
{
    const auto createNxPlugin = library().symbol<IPlugin* (*)()>("createNxPlugin");
    ASSERT_NE(nullptr, createNxPlugin);
    ostrel::control::reset();
    ostrel::control::failInit(1);

    EXPECT_EQ(nullptr, createNxPlugin());
    EXPECT_EQ(1, ostrel::control::initCallCount());

    testing::internal::CaptureStderr();
    const Ptr<IPlugin> first(createNxPlugin());
    const Ptr<IPlugin> second(createNxPlugin());
    const std::string output = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(2, ostrel::control::initCallCount()) << "no init after the first success";
    EXPECT_NE(std::string::npos, output.find("[plugin] Created IPlugin @0x")) << output;
    EXPECT_NE(std::string::npos, output.find(" of korvane_test\n")) << output;
}

TEST(LibraryEntryTest, PluginAnswersItsIdsAndManifestAndLeavesNothingAlive)
{
    const auto createNxPlugin = library().symbol<IPlugin* (*)()>("createNxPlugin");
    ASSERT_NE(nullptr, createNxPlugin);
    const int liveBefore = liveCount();
    testing::internal::CaptureStderr();
    {
        const Ptr<IPlugin> plugin(createNxPlugin());
        ASSERT_TRUE(plugin);
        EXPECT_EQ(liveBefore + 1, liveCount());
        const auto analyticsPlugin = queryInterfacePtr<analytics::IPlugin>(plugin);
        ASSERT_TRUE(analyticsPlugin);
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
    EXPECT_NE(std::string::npos, output.find("[plugin] Destroyed IPlugin @0x")) << output;
    EXPECT_EQ(liveBefore, liveCount());
    EXPECT_EQ(0, liveObjects().doubleDestroys);
}

}  // namespace
