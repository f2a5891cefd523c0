// Fails the run when a test leaves ref-countable objects alive or destroys one twice.
//
// Linked into every test executable that uses the stand-in host. The check runs after each
// test, once the test's fixture is gone, over the host's own objects and over every plugin
// library the host has opened.

#include <gtest/gtest.h>

#include "host/object_tracker.h"
#include "host/plugin_library.h"

namespace
{

using korvane::host::ObjectTracker;

struct Tally
{
    int live = 0;
    int badDestroys = 0;
};

Tally tallyOf(const ObjectTracker& tracker)
{
    return {tracker.liveCount(), tracker.badDestroyCount()};
}

class LiveObjectsCheck final : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo& /*test*/) override { m_before = tallies(); }

    void OnTestEnd(const testing::TestInfo& test) override
    {
        const std::vector<Tally> after = tallies();
        for (size_t i = 0; i < after.size() && i < m_before.size(); ++i)
        {
            if (after[i].live != m_before[i].live ||
                after[i].badDestroys != m_before[i].badDestroys)
            {
                ADD_FAILURE() << test.test_suite_name() << "." << test.name() << " left "
                              << after[i].live - m_before[i].live << " object(s) alive and "
                              << after[i].badDestroys - m_before[i].badDestroys
                              << " bad destruction(s) in " << (i == 0 ? "the host" : "a plugin");
            }
        }
    }

    static std::vector<Tally> tallies()
    {
        std::vector<Tally> result{tallyOf(*korvane::host::hostObjectTracker())};
        for (const auto* library : korvane::host::PluginLibrary::openedLibraries())
            result.push_back(tallyOf(library->objects()));
        return result;
    }

    std::vector<Tally> m_before;
};

// Installed before main runs, so the host's registry sees every object of every test.
const bool kInstalled = []()
{
    korvane::host::hostObjectTracker();
    testing::UnitTest::GetInstance()->listeners().Append(new LiveObjectsCheck());
    return true;
}();

}  // namespace
