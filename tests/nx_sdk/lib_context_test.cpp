#include <nx/sdk/entry_points.h>
#include <nx/sdk/helpers/lib_context.h>
#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/ptr.h>

#include <gtest/gtest.h>

#include "host/object_tracker.h"

#include <string>

namespace nx::sdk
{
namespace
{

class CountingRegistry : public ImplementsDestructorSlot<IRefCountableRegistry>
{
public:
    explicit CountingRegistry(int* destroyed) : m_destroyed(destroyed) {}
    ~CountingRegistry() override { ++*m_destroyed; }
    void notifyCreated(const IRefCountable*, int32_t) override {}
    void notifyDestroyed(const IRefCountable*, int32_t) override {}

private:
    int* const m_destroyed;
};

std::string setNameCapturingOutput(LibContext* context, const char* name)
{
    testing::internal::CaptureStderr();
    context->setName(name);
    return testing::internal::GetCapturedStderr();
}

TEST(LibContextTest, EntryPointsAnswerTheSameObjects)
{
    EXPECT_STREQ("5.1.2 R2", nxSdkVersion());
    EXPECT_EQ(nxSdkVersion(), nxSdkVersion());
    EXPECT_EQ(nxLibContext(), nxLibContext());
    EXPECT_EQ(static_cast<ILibContext*>(&libContext()), nxLibContext());
}

TEST(LibContextTest, NameIsFixedOnceGiven)
{
    LibContext context;
    EXPECT_EQ("unnamed_lib_context", context.name());
    EXPECT_EQ("", setNameCapturingOutput(&context, "first"));
    EXPECT_EQ("", setNameCapturingOutput(&context, "first"));
    const std::string output = setNameCapturingOutput(&context, "second");
    EXPECT_EQ("first", context.name());
    EXPECT_EQ(0u, output.find("[nx::sdk::LibContext] \n>>> ASSERTION FAILED: "
                              "nx/sdk/helpers/lib_context.cpp:"))
        << output;
    EXPECT_NE(std::string::npos,
              output.find(" (m_name == kDefaultName || m_name == std::string(name)) "
                          "Attempt to change LibContext name from first to second.\n"))
        << output;
}

TEST(LibContextTest, EmptyOrNullNameMarksTheContextIncorrectlyNamed)
{
    LibContext emptyNamed;
    std::string output = setNameCapturingOutput(&emptyNamed, "");
    EXPECT_EQ("incorrectly_named_lib_context", emptyNamed.name());
    EXPECT_NE(std::string::npos, output.find(" (name[0] != '\\0') \n")) << output;
    // No longer the default name, so a later rename is refused.
    output = setNameCapturingOutput(&emptyNamed, "proper");
    EXPECT_EQ("incorrectly_named_lib_context", emptyNamed.name());
    EXPECT_NE(std::string::npos, output.find("from incorrectly_named_lib_context to proper."));

    LibContext nullNamed;
    output = setNameCapturingOutput(&nullNamed, nullptr);
    EXPECT_EQ("incorrectly_named_lib_context", nullNamed.name());
    EXPECT_NE(std::string::npos, output.find(" (name) \n")) << output;
    // A null name is never dereferenced, even when a rename is refused.
    output = setNameCapturingOutput(&nullNamed, nullptr);
    EXPECT_NE(std::string::npos, output.find("to (null).")) << output;
}

TEST(LibContextTest, FirstRegistryIsKeptAndARefusedOneIsNotLeaked)
{
    int destroyed = 0;
    {
        LibContext context;
        auto* first = new CountingRegistry(&destroyed);
        context.setRefCountableRegistry(first);
        testing::internal::CaptureStderr();
        context.setRefCountableRegistry(new CountingRegistry(&destroyed));
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(first, context.refCountableRegistry());
        EXPECT_EQ(1, destroyed) << "the refused registry is deleted";
        EXPECT_NE(std::string::npos,
                  output.find(" (!m_refCountableRegistry) "
                              "LibContext refCountableRegistry has already been set.\n"))
            << output;
    }
    EXPECT_EQ(2, destroyed) << "the context deletes its registry";
}

TEST(LibContextTest, InstalledRegistryPassedAgainStaysInstalledAndAlive)
{
    const std::shared_ptr<korvane::host::ObjectTracker> tracker =
        korvane::host::hostObjectTracker();
    IRefCountableRegistry* const installed = libContext().refCountableRegistry();
    ASSERT_NE(nullptr, installed);

    testing::internal::CaptureStderr();
    nxLibContext()->setRefCountableRegistry(installed);
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos,
              output.find(" (!m_refCountableRegistry) "
                          "LibContext refCountableRegistry has already been set."))
        << output;
    EXPECT_EQ(installed, libContext().refCountableRegistry());

    const int64_t createdBefore = tracker->createdCount();
    const int liveBefore = tracker->liveCount();
    makePtr<StringMap>().reset();
    EXPECT_EQ(createdBefore + 1, tracker->createdCount()) << "notifyCreated arrived";
    EXPECT_EQ(liveBefore, tracker->liveCount()) << "notifyDestroyed arrived";
    EXPECT_EQ(0, tracker->badDestroyCount());
}

TEST(LibContextTest, UnitTestOptionsAreReplacedWhole)
{
    const Ptr<StringMap> options = makePtr<StringMap>();
    options->setItem("b", "2");
    options->setItem("a", "1");
    nxSetUnitTestOptions(options.get());
    EXPECT_EQ((std::map<std::string, std::string>{{"a", "1"}, {"b", "2"}}), unitTestOptions());

    nxSetUnitTestOptions(nullptr);
    EXPECT_EQ(2u, unitTestOptions().size());

    nxSetUnitTestOptions(makePtr<StringMap>().get());
    EXPECT_TRUE(unitTestOptions().empty());
}

}  // namespace
}  // namespace nx::sdk
