#include "settings_model.h"

#include <cmath>
#include <cstdio>

#include "host/cli/scenario.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

std::string valueText(const Json& value)
{
    if (value.isNull())
        return "";
    if (value.isBool())
        return value.boolValue() ? "true" : "false";
    if (value.isString())
        return value.stringValue();
    const double number = value.numberValue();
    char text[32];
    if (std::nearbyint(number) == number && std::fabs(number) < 1e15)
        std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(number));
    else
        std::snprintf(text, sizeof(text), "%.17g", number);
    return text;
}

// `name` with every "#" replaced by `index`; unchanged when `index` is empty.
std::string indexedName(std::string name, const std::string& index)
{
    if (index.empty())
        return name;
    for (size_t at = name.find('#'); at != std::string::npos; at = name.find('#', at))
    {
        name.replace(at, 1, index);
        at += index.size();
    }
    return name;
}

// Whether `node` is an item the page sends a value for: a named item other than a container
// (a section is named too). An item without a default, such as a figure, is sent empty.
bool holdsValue(const Json& node)
{
    static const char* const kContainers[] = {"Settings", "Section", "GroupBox", "Repeater"};
    const std::string& type = node["type"].stringValue();
    for (const char* container : kContainers)
    {
        if (type == container)
            return false;
    }
    return node["name"].isString();
}

// Collects the defaults of `node` and everything it holds; `index` stands for "#".
void collect(const Json& node, const std::string& index, Settings* defaults, int depth)
{
    if (depth > Json::kMaxNestingDepth)
        return;
    for (const Json& item : node.arrayItems())
        collect(item, index, defaults, depth + 1);
    if (!node.isObject())
        return;
    if (holdsValue(node))
        (*defaults)[indexedName(node["name"].stringValue(), index)] =
            valueText(node["defaultValue"]);
    if (node["type"].stringValue() == "Repeater")
    {
        const int first = static_cast<int>(node["startIndex"].numberValue());
        const int count = static_cast<int>(std::min(node["count"].numberValue(), 1000.0));
        for (int i = 0; i < count; ++i)
            collect(node["template"], std::to_string(first + i), defaults, depth + 1);
        return;
    }
    for (const auto& [key, member] : node.objectItems())
    {
        if (member.isArray() || member.isObject())
            collect(member, index, defaults, depth + 1);
    }
}

}  // namespace

Settings settingsModelDefaults(const Json& model)
{
    Settings defaults;
    collect(model, "", &defaults, 0);
    return defaults;
}

bool parseSettingsText(const std::string& text, Settings* settings, std::string* errorText)
{
    Json json;
    if (!parseJsonObject(text, "settings file", &json, errorText))
        return false;
    *settings = settingsOf(json);
    return true;
}

Settings settingsOf(const Json& object)
{
    Settings settings;
    for (const auto& [key, value] : object.objectItems())
        settings[key] = value.isString() ? value.stringValue() : value.dump();
    return settings;
}

Settings overlaid(Settings base, const Settings& overlay)
{
    for (const auto& [key, value] : overlay)
        base[key] = value;
    return base;
}

}  // namespace korvane::host::cli
