#include "stand_in_control.h"

#include "host/dynamic_library.h"

namespace korvane::host::cli
{

const ostrel::control::ControlTable* findStandInControl()
{
    const auto library = DynamicLibrary::findLoaded(kCameraSdkBaseName);
    if (!library)
        return nullptr;
    using Accessor = const ostrel::control::ControlTable* (*)();
    const auto accessor =
        reinterpret_cast<Accessor>(library->function(ostrel::control::kControlTableSymbol));
    return accessor ? accessor() : nullptr;
}

}  // namespace korvane::host::cli
