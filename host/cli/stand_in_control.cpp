#include "stand_in_control.h"

#include "host/dynamic_library.h"
#include "sdk_recorder/recorder_platform.h"

namespace korvane::host::cli
{

namespace
{

const ostrel::control::ControlTable* controlIn(const std::string& baseName)
{
    const auto library = DynamicLibrary::findLoaded(baseName);
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
    // Behind the recording Camera SDK, the stand-in may be the maker's library it renamed.
    const ostrel::control::ControlTable* const control = controlIn(kCameraSdkBaseName);
    return control ? control : controlIn(korvane::sdk_recorder::kRenamedMakerBaseName);
}

}  // namespace korvane::host::cli
