// The plugin manifest: exact text, values and key order.

#include <plugin/manifests/plugin_manifest.h>

#include <nx/kit/json.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

using nx::kit::Json;
using nx::vms_server_plugins::analytics::sample::pluginManifest;

TEST(PluginManifestTest, TextIsExact)
{
    const std::string expected =
        "{\n"
        "     \"id\": \"Korvane events analytics\",\n"
        "    \"name\": \"Korvane events plugin\",\n"
        "    \"description\": \"Plugin for posting korvane events.\",\n"
        "    \"version\": \"" KORVANE_PLUGIN_VERSION
        "\",\n"
        "    \"vendor\": \"korvane\"\n"
        "}\n";
    EXPECT_EQ(expected, pluginManifest());
    EXPECT_EQ(180u + std::string(KORVANE_PLUGIN_VERSION).size(), pluginManifest().size());
}

TEST(PluginManifestTest, ParsesWithKeysInOrder)
{
    const std::string& text = pluginManifest();
    std::string error;
    const Json manifest = Json::parse(text, &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_TRUE(manifest.isObject());
    EXPECT_EQ(5u, manifest.objectItems().size());
    EXPECT_EQ("Korvane events analytics", manifest["id"].stringValue());
    EXPECT_EQ("Korvane events plugin", manifest["name"].stringValue());
    EXPECT_EQ("Plugin for posting korvane events.", manifest["description"].stringValue());
    EXPECT_EQ(KORVANE_PLUGIN_VERSION, manifest["version"].stringValue());
    EXPECT_EQ("korvane", manifest["vendor"].stringValue());

    // The keys stand one per line in this order; "id" is indented by five spaces.
    const char* const lines[] = {"{\n",
                                 "     \"id\": ",
                                 "\n    \"name\": ",
                                 "\n    \"description\": ",
                                 "\n    \"version\": ",
                                 "\n    \"vendor\": "};
    std::size_t position = 0;
    for (const char* line : lines)
    {
        const std::size_t found = text.find(line, position);
        ASSERT_NE(std::string::npos, found) << line;
        position = found + 1;
    }
    EXPECT_EQ(0u, text.find("{\n     \"id\""));
}

}  // namespace
