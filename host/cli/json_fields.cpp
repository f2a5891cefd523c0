#include "json_fields.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

// The value as the file spells it, cut when long.
std::string shown(const Json& value)
{
    const std::string text = value.dump();
    return text.size() <= 40 ? text : text.substr(0, 37) + "...";
}

std::string joined(const std::string& path, const std::string& key)
{
    return path.empty() ? key : path + "." + key;
}

}  // namespace

std::string wholeNumberText(int64_t minimum, int64_t maximum)
{
    return "a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
}

JsonFields::JsonFields(const Json& object, std::string path, std::string* errorText)
    : m_object(object), m_path(std::move(path)), m_errorText(errorText)
{
    if (!object.isObject())
        failHere(shown(object) + " is not an object ({...})");
}

std::string JsonFields::pathOf(const std::string& key) const
{
    return joined(m_path, key);
}

std::string JsonFields::pathOf(const std::string& key, size_t index) const
{
    return joined(m_path, key) + "[" + std::to_string(index) + "]";
}

bool JsonFields::fail(const std::string& key, const std::string& why)
{
    if (ok())
        *m_errorText = pathOf(key) + ": " + why;
    return false;
}

bool JsonFields::failHere(const std::string& why)
{
    if (ok())
        *m_errorText = (m_path.empty() ? "the file" : m_path) + ": " + why;
    return false;
}

const Json* JsonFields::member(const char* key)
{
    m_taken.insert(key);
    const auto& members = m_object.objectItems();
    const auto it = members.find(key);
    return it == members.end() ? nullptr : &it->second;
}

bool JsonFields::has(const char* key)
{
    return member(key) != nullptr;
}

const Json& JsonFields::value(const char* key)
{
    static const Json kNone;
    const Json* found = member(key);
    return found ? *found : kNone;
}

std::string JsonFields::text(const char* key, const std::string& fallback)
{
    const Json* value = member(key);
    if (!value)
        return fallback;
    if (value->isString())
        return value->stringValue();
    fail(key, shown(*value) + " is not a text (\"...\")");
    return fallback;
}

bool JsonFields::integerAt(const Json& value, const std::string& path, int64_t minimum,
                           int64_t maximum, int64_t* result, std::string* errorText)
{
    const double number = value.numberValue();
    if (value.isNumber() && std::floor(number) == number &&
        number >= static_cast<double>(minimum) && number <= static_cast<double>(maximum))
    {
        // The largest 64-bit value is no double: its neighbour above stands for it.
        *result = number >= 9223372036854775807.0 ? INT64_MAX : static_cast<int64_t>(number);
        return true;
    }
    if (errorText->empty())
        *errorText = path + ": " + shown(value) + " is not " + wholeNumberText(minimum, maximum);
    return false;
}

int64_t JsonFields::integer(const char* key, int64_t fallback, int64_t minimum, int64_t maximum)
{
    const Json* value = member(key);
    int64_t result = fallback;
    if (value && !integerAt(*value, pathOf(key), minimum, maximum, &result, m_errorText))
        return fallback;
    return result;
}

double JsonFields::number(const char* key, double fallback, double minimum, double maximum)
{
    const Json* value = member(key);
    if (!value)
        return fallback;
    const double number = value->numberValue();
    if (value->isNumber() && number >= minimum && number <= maximum)
        return number;
    char range[64];
    std::snprintf(range, sizeof range, " is not a number from %g to %g", minimum, maximum);
    fail(key, shown(*value) + range);
    return fallback;
}

bool JsonFields::boolean(const char* key, bool fallback)
{
    const Json* value = member(key);
    if (!value)
        return fallback;
    if (value->isBool())
        return value->boolValue();
    fail(key, shown(*value) + " is not true or false");
    return fallback;
}

const Json& JsonFields::object(const char* key)
{
    static const Json kNone;
    const Json* value = member(key);
    if (!value)
        return kNone;
    if (value->isObject())
        return *value;
    fail(key, shown(*value) + " is not an object ({...})");
    return kNone;
}

const Json::Array& JsonFields::list(const char* key)
{
    static const Json::Array kNone;
    const Json* value = member(key);
    if (!value)
        return kNone;
    if (value->isArray())
        return value->arrayItems();
    fail(key, shown(*value) + " is not a list ([...])");
    return kNone;
}

bool JsonFields::done()
{
    for (const auto& [key, value] : m_object.objectItems())
    {
        if (m_taken.count(key))
            continue;
        std::string known;
        for (const std::string& name : m_taken)
            known += (known.empty() ? "" : ", ") + name;
        return fail(key, "unknown member (known here: " + (known.empty() ? "none" : known) + ")");
    }
    return ok();
}

}  // namespace korvane::host::cli
