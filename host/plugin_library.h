// PluginLibrary: a plugin library loaded by path, as the server loads it.
//
// Opening a library resolves its four entry points, checks the SDK version, names the
// library context and installs a TrackingRegistry, so that every object the library creates
// is tallied. A library is opened once per process and path, and stays loaded until
// unload(), which a run calls only when none of the library's objects is alive.
// open() is thread-safe; the other operations may be called from any thread.

#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nx/sdk/analytics/i_plugin.h>
#include <nx/sdk/ptr.h>

#include "host/object_tracker.h"

namespace korvane::host
{

class PluginLibrary
{
public:
    // The name the server gives this plugin library.
    static constexpr const char* kDefaultLibraryName = "korvane_event_analytics_plugin";

    // The library at `path`, loaded and named `libraryName` on the first call for that path;
    // null with `*errorMessage` set when it cannot be loaded or lacks an entry point.
    // Later calls return the same object; the name of the first call stays.
    static PluginLibrary* open(const std::string& path, const std::string& libraryName,
                               std::string* errorMessage);

    // Unloads the library opened from `path` and forgets it; false (and nothing happens)
    // when it is not open or still has live objects. Pointers to it are invalid afterwards.
    static bool unload(const std::string& path);

    // Every library opened so far, in opening order.
    static std::vector<const PluginLibrary*> openedLibraries();

    // Calls createNxPlugin; null when the library refuses (the Camera SDK failed to start).
    nx::sdk::Ptr<nx::sdk::analytics::IPlugin> createPlugin() const;

    // What nxSdkVersion answers.
    std::string sdkVersion() const;

    // Passes options to nxSetUnitTestOptions.
    void setUnitTestOptions(const std::map<std::string, std::string>& options) const;

    // The tally of the library's live objects.
    const ObjectTracker& objects() const { return *m_tracker; }

    // The name the library context was given.
    const std::string& libraryName() const { return m_libraryName; }

    // The path the library was loaded from.
    const std::string& path() const { return m_path; }

    // The full path of the library that the loader bound this library's dependency
    // `baseName` to, found by one of its functions (DynamicLibrary::dependencyPath); empty
    // when none is loaded.
    std::string dependencyPath(const std::string& baseName, const char* functionName) const;

    struct EntryPoints;

    PluginLibrary(std::string path, std::string libraryName,
                  std::unique_ptr<EntryPoints> entryPoints);
    ~PluginLibrary();

private:
    const std::string m_path;
    const std::string m_libraryName;
    const std::unique_ptr<EntryPoints> m_entryPoints;
    const std::shared_ptr<ObjectTracker> m_tracker;
};

}  // namespace korvane::host
