#include "plugin.h"

namespace nx::vms_server_plugins::analytics::sample
{

const std::string& Plugin::manifest()
{
    static const std::string kManifest =
        "{\n"
        "     \"id\": \"Korvane events analytics\",\n"
        "    \"name\": \"Korvane events plugin\",\n"
        "    \"description\": \"Plugin for posting korvane events.\",\n"
        "    \"version\": \"1.2.5.0\",\n"
        "    \"vendor\": \"korvane\"\n"
        "}\n";
    return kManifest;
}

std::string Plugin::manifestString() const
{
    return manifest();
}

}  // namespace nx::vms_server_plugins::analytics::sample
