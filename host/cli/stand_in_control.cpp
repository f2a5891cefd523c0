#include "stand_in_control.h"

#include <memory>

#include "host/dynamic_library.h"
#include "sdk_recorder/recorder_platform.h"

namespace korvane::host::cli
{

namespace
{

const ostrel::control::ControlTable* controlIn(const DynamicLibrary* library)
{
    if (!library)
        return nullptr;
    using Accessor = const ostrel::control::ControlTable* (*)();
    const auto accessor =
        reinterpret_cast<Accessor>(library->function(ostrel::control::kControlTableSymbol));
    return accessor ? accessor() : nullptr;
}

}  // namespace

const ostrel::control::ControlTable* loadStandIn(const std::string& path, std::string* errorText)
{
    // Neither library is unloaded: the plugin and the simulation use them to the end.
    const std::unique_ptr<DynamicLibrary> library = DynamicLibrary::open(path, errorText);
    if (!library)
        return nullptr;
    if (const auto control = controlIn(library.get()))
        return control;
    std::string renamedError;
    const std::unique_ptr<DynamicLibrary> renamed = DynamicLibrary::open(
        DynamicLibrary::folderOf(path) +
            DynamicLibrary::fileName(korvane::sdk_recorder::kRenamedMakerBaseName),
        &renamedError);
    if (const auto control = controlIn(renamed.get()))
        return control;
    *errorText = path + " is not the Camera SDK stand-in (the camera maker's library?)";
    return nullptr;
}

}  // namespace korvane::host::cli
