// Conversions between the texts of host interfaces (C strings, string maps) and standard
// strings and maps, for settings, action parameters and settings responses. Pure
// functions; thread-safe.

#pragma once

#include <map>
#include <string>

#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ptr.h>

namespace korvane::host
{

// The text a host interface hands out; null counts as empty.
inline std::string textOrEmpty(const char* text)
{
    return text ? text : "";
}

// A new string map holding `entries`.
nx::sdk::Ptr<nx::sdk::StringMap> makeStringMap(const std::map<std::string, std::string>& entries);

// The entries of `map`; empty for a null map.
std::map<std::string, std::string> toStdMap(const nx::sdk::IStringMap* map);

}  // namespace korvane::host
