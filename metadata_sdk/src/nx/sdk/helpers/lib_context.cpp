#include "lib_context.h"

#include <nx/kit/debug.h>
#include <nx/sdk/entry_points.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk
{

namespace
{

void printLibContextLine(const char* text)
{
    NX_KIT_PRINT("[nx::sdk::LibContext] ") << text;
}

}  // namespace

void LibContext::setName(const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);

    const std::string message = nx::kit::debug::formatText(
        "Attempt to change LibContext name from %s to %s.", m_name.c_str(), name ? name : "(null)");
    // A null name counts as different from any current name.
    const bool renameAllowed = m_name == kDefaultName || (name && m_name == name);
    if (!renameAllowed)
    {
        nx::kit::debug::reportAssertionFailure(
            printLibContextLine, "m_name == kDefaultName || m_name == std::string(name)", message,
            __FILE__, __LINE__);
        return;
    }

    if (!NX_KIT_ASSERT(printLibContextLine, name, "") ||
        !NX_KIT_ASSERT(printLibContextLine, name[0] != '\0', ""))
    {
        m_name = kIncorrectName;
        return;
    }
    m_name = name;
}

void LibContext::setRefCountableRegistry(IRefCountableRegistry* refCountableRegistry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!NX_KIT_ASSERT(printLibContextLine, !m_refCountableRegistry,
                       "LibContext refCountableRegistry has already been set."))
    {
        // Ownership was handed over with the call: a refused registry is deleted, not leaked,
        // unless it is the installed one passed again, which must stay alive.
        if (refCountableRegistry != m_refCountableRegistry.get())
            deleteInterfaceObject(refCountableRegistry);
        return;
    }
    m_refCountableRegistry.reset(refCountableRegistry);
}

LibContext& libContext()
{
    static LibContext context;
    return context;
}

namespace detail
{

void notifyRefCountableCreated(const IRefCountable* object, int32_t refCount)
{
    if (IRefCountableRegistry* registry = libContext().refCountableRegistry())
        registry->notifyCreated(object, refCount);
}

void notifyRefCountableDestroyed(const IRefCountable* object, int32_t refCount)
{
    if (IRefCountableRegistry* registry = libContext().refCountableRegistry())
        registry->notifyDestroyed(object, refCount);
}

}  // namespace detail

}  // namespace nx::sdk

namespace nx::sdk
{

namespace
{

struct UnitTestOptions
{
    std::mutex mutex;
    std::map<std::string, std::string> options;
};

UnitTestOptions& unitTestOptionsStorage()
{
    static UnitTestOptions storage;
    return storage;
}

}  // namespace

std::map<std::string, std::string> unitTestOptions()
{
    UnitTestOptions& storage = unitTestOptionsStorage();
    std::lock_guard<std::mutex> lock(storage.mutex);
    return storage.options;
}

}  // namespace nx::sdk

extern "C"
{
    nx::sdk::ILibContext* nxLibContext()
    {
        return &nx::sdk::libContext();
    }

    const char* nxSdkVersion()
    {
        return "5.1.2 R2";
    }

    void nxSetUnitTestOptions(const nx::sdk::IStringMap* options)
    {
        if (!options)
            return;
        nx::sdk::UnitTestOptions& storage = nx::sdk::unitTestOptionsStorage();
        std::lock_guard<std::mutex> lock(storage.mutex);
        storage.options.clear();
        // The count is asked again before each step, as the map may be the host's own object.
        for (int i = 0; i < options->count(); ++i)
        {
            const char* key = options->key(i);
            const char* value = options->valueAt(i);
            if (key && value)
                storage.options.emplace(key, value);
        }
    }

}  // extern "C"
