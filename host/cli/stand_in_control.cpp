#include "stand_in_control.h"

#include "host/dynamic_library.h"
#include "sdk_recorder/recorder_platform.h"

namespace korvane::host::cli
{

namespace
{

const ostrel::control::ControlTable* controlIn(std::unique_ptr<DynamicLibrary> library)
{
    if (!library)
        return nullptr;
    using Accessor = const ostrel::control::ControlTable* (*)();
    const auto accessor =
        reinterpret_cast<Accessor>(library->function(ostrel::control::kControlTableSymbol));
    return accessor ? accessor() : nullptr;
}

}  // namespace

const ostrel::control::ControlTable* findStandInControl()
{
    if (const auto control = controlIn(DynamicLibrary::findLoaded(kCameraSdkBaseName)))
        return control;
    // Behind the recording Camera SDK installed by renaming, the stand-in is the renamed
    // maker's library, which the recorder loads only when the plugin initialises it: loaded
    // here first, it stays loaded and the recorder gets the same one.
    std::string errorText;
    return controlIn(DynamicLibrary::open(
        DynamicLibrary::fileName(korvane::sdk_recorder::kRenamedMakerBaseName), &errorText));
}

}  // namespace korvane::host::cli
