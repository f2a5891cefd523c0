#include "tool_layout.h"

#include "host/dynamic_library.h"

namespace korvane::host::cli
{

std::string defaultPluginPath()
{
    return DynamicLibrary::besideProgram(KORVANE_TOOL_PLUGIN_PATH);
}

std::string standInPath()
{
    return DynamicLibrary::besideProgram(KORVANE_TOOL_STAND_IN_PATH);
}

}  // namespace korvane::host::cli
