#include "plugin_manifest.h"

namespace nx::vms_server_plugins::analytics::sample
{

const std::string& pluginManifest()
{
    // The host shows these texts as they are; the odd indentation of "id" is part of them.
    // The version is the project's, which the build passes in.
    static const std::string kManifest =
        "{\n"
        "     \"id\": \"Korvane events analytics\",\n"
        "    \"name\": \"Korvane events plugin\",\n"
        "    \"description\": \"Plugin for posting korvane events.\",\n"
        "    \"version\": \"" KORVANE_PLUGIN_VERSION
        "\",\n"
        "    \"vendor\": \"korvane\"\n"
        "}\n";
    return kManifest;
}

}  // namespace nx::vms_server_plugins::analytics::sample
