#include "plugin_library.h"

#include <algorithm>
#include <mutex>

#include <nx/sdk/i_lib_context.h>
#include "host/dynamic_library.h"
#include "host/string_maps.h"

namespace korvane::host
{

using nx::sdk::ILibContext;
using nx::sdk::IPlugin;
using nx::sdk::IStringMap;

struct PluginLibrary::EntryPoints
{
    std::unique_ptr<DynamicLibrary> library;
    IPlugin* (*createNxPlugin)() = nullptr;
    ILibContext* (*nxLibContext)() = nullptr;
    const char* (*nxSdkVersion)() = nullptr;
    void (*nxSetUnitTestOptions)(const IStringMap*) = nullptr;
};

namespace
{

template <typename Function>
bool resolve(const DynamicLibrary& library, const char* name, Function* function,
             std::string* errorMessage)
{
    *function = reinterpret_cast<Function>(library.function(name));
    if (!*function)
        *errorMessage = std::string("The plugin library does not export ") + name;
    return *function != nullptr;
}

std::unique_ptr<PluginLibrary::EntryPoints> loadEntryPoints(const std::string& path,
                                                            std::string* errorMessage)
{
    std::unique_ptr<DynamicLibrary> library = DynamicLibrary::open(path, errorMessage);
    if (!library)
        return nullptr;
    auto entryPoints = std::make_unique<PluginLibrary::EntryPoints>();
    entryPoints->library = std::move(library);
    const DynamicLibrary& loaded = *entryPoints->library;
    if (!resolve(loaded, "createNxPlugin", &entryPoints->createNxPlugin, errorMessage) ||
        !resolve(loaded, "nxLibContext", &entryPoints->nxLibContext, errorMessage) ||
        !resolve(loaded, "nxSdkVersion", &entryPoints->nxSdkVersion, errorMessage) ||
        !resolve(loaded, "nxSetUnitTestOptions", &entryPoints->nxSetUnitTestOptions, errorMessage))
    {
        return nullptr;
    }
    return entryPoints;
}

}  // namespace

PluginLibrary::PluginLibrary(std::string path, std::string libraryName,
                             std::unique_ptr<EntryPoints> entryPoints)
    : m_path(std::move(path)),
      m_libraryName(std::move(libraryName)),
      m_entryPoints(std::move(entryPoints)),
      m_tracker(std::make_shared<ObjectTracker>())
{
    ILibContext* const context = m_entryPoints->nxLibContext();
    context->setName(m_libraryName.c_str());
    context->setRefCountableRegistry(new TrackingRegistry(m_tracker));
}

PluginLibrary::~PluginLibrary() = default;

namespace
{

// The libraries opened so far, by path. Never destroyed: the libraries stay loaded.
struct OpenedLibraries
{
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<PluginLibrary>> byPath;
    std::vector<const PluginLibrary*> inOrder;
};

OpenedLibraries& libraryTable()
{
    static auto* const libraries = new OpenedLibraries();
    return *libraries;
}

}  // namespace

PluginLibrary* PluginLibrary::open(const std::string& path, const std::string& libraryName,
                                   std::string* errorMessage)
{
    hostObjectTracker();  //< Host objects are tallied from the first library on.
    OpenedLibraries& libraries = libraryTable();
    const std::lock_guard<std::mutex> lock(libraries.mutex);
    auto& library = libraries.byPath[path];
    if (!library)
    {
        auto entryPoints = loadEntryPoints(path, errorMessage);
        if (!entryPoints)
        {
            libraries.byPath.erase(path);
            return nullptr;
        }
        library = std::make_unique<PluginLibrary>(path, libraryName, std::move(entryPoints));
        libraries.inOrder.push_back(library.get());
    }
    return library.get();
}

bool PluginLibrary::unload(const std::string& path)
{
    OpenedLibraries& libraries = libraryTable();
    std::unique_ptr<PluginLibrary> library;
    {
        const std::lock_guard<std::mutex> lock(libraries.mutex);
        const auto it = libraries.byPath.find(path);
        if (it == libraries.byPath.end() || it->second->objects().liveCount() != 0)
            return false;
        library = std::move(it->second);
        libraries.byPath.erase(it);
        auto& order = libraries.inOrder;
        order.erase(std::remove(order.begin(), order.end(), library.get()), order.end());
    }
    // Unloading destroys the library's context, which deletes the tracking registry.
    library->m_entryPoints->library->unload();
    return true;
}

std::vector<const PluginLibrary*> PluginLibrary::openedLibraries()
{
    OpenedLibraries& libraries = libraryTable();
    const std::lock_guard<std::mutex> lock(libraries.mutex);
    return libraries.inOrder;
}

nx::sdk::Ptr<nx::sdk::analytics::IPlugin> PluginLibrary::createPlugin() const
{
    const nx::sdk::Ptr<IPlugin> plugin(m_entryPoints->createNxPlugin());
    return nx::sdk::queryInterfacePtr<nx::sdk::analytics::IPlugin>(plugin);
}

std::string PluginLibrary::sdkVersion() const
{
    const char* const version = m_entryPoints->nxSdkVersion();
    return version ? version : "";
}

std::string PluginLibrary::dependencyPath(const std::string& baseName,
                                          const char* functionName) const
{
    return m_entryPoints->library->dependencyPath(baseName, functionName);
}

void PluginLibrary::setUnitTestOptions(const std::map<std::string, std::string>& options) const
{
    m_entryPoints->nxSetUnitTestOptions(makeStringMap(options).get());
}

}  // namespace korvane::host
