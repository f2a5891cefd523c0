#include "string_maps.h"

namespace korvane::host
{

nx::sdk::Ptr<nx::sdk::StringMap> makeStringMap(const std::map<std::string, std::string>& entries)
{
    auto map = nx::sdk::makePtr<nx::sdk::StringMap>();
    for (const auto& [key, value] : entries)
        map->setItem(key, value);
    return map;
}

std::map<std::string, std::string> toStdMap(const nx::sdk::IStringMap* map)
{
    std::map<std::string, std::string> entries;
    const int count = map ? map->count() : 0;
    for (int i = 0; i < count; ++i)
    {
        const char* const key = map->key(i);
        const char* const value = map->valueAt(i);
        if (key)
            entries[key] = textOrEmpty(value);
    }
    return entries;
}

}  // namespace korvane::host
