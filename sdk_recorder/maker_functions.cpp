#include "maker_functions.h"

#include <atomic>
#include <cstdlib>

#include "port/mutex.h"
#include "sdk_recorder/recorder_platform.h"

namespace korvane::sdk_recorder
{

namespace
{

std::atomic<const MakerFunctions*> g_functions{nullptr};

port::Mutex& loadMutex()
{
    static port::Mutex mutex;
    return mutex;
}

// Fills `functions` from `library`; false with the first missing entry point's name.
bool findAll(const MakerLibrary& library, MakerFunctions* functions, std::string* missing)
{
#define KORVANE_SDK_ENTRY_POINT(name, ordinal)                                                 \
    functions->name =                                                                          \
        reinterpret_cast<decltype(functions->name)>(makerEntryPoint(library, #name, ordinal)); \
    if (!functions->name)                                                                      \
    {                                                                                          \
        *missing = #name " (ordinal " #ordinal ")";                                            \
        return false;                                                                          \
    }
#include "sdk_recorder/entry_points.inc"
#undef KORVANE_SDK_ENTRY_POINT
    return true;
}

// The loaded library stays in this static for good; so does the table.
MakerLibrary g_library;
MakerFunctions g_table;

}  // namespace

const MakerFunctions* makerFunctions()
{
    return g_functions.load(std::memory_order_acquire);
}

const MakerFunctions* loadMakerFunctions(std::string* target, std::string* errorText)
{
    port::MutexLock lock(&loadMutex());
    if (const MakerFunctions* const loaded = makerFunctions())
    {
        *target = g_library.path;
        return loaded;
    }
    MakerLibrary library;
    const char* const named = std::getenv("KORVANE_SDK_TARGET");
    const bool opened =
        openMakerLibrary(named && *named ? named : defaultMakerPath(), &library, errorText);
    *target = library.path;
    if (!opened)
        return nullptr;
    MakerFunctions table;
    std::string missing;
    if (!findAll(library, &table, &missing))
    {
        *errorText = library.path + " is not a complete Camera SDK: it lacks " + missing;
        closeMakerLibrary(&library);
        return nullptr;
    }
    g_library = library;
    g_table = table;
    g_functions.store(&g_table, std::memory_order_release);
    return &g_table;
}

}  // namespace korvane::sdk_recorder
