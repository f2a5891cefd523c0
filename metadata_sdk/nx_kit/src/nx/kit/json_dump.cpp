// The compact dump of a Json value: the text that parse() reads back to an equal value.

#include "json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace nx::kit
{

namespace
{

void dumpNumber(double value, std::string* out)
{
    if (!std::isfinite(value))
    {
        *out += "null";
        return;
    }
    // std::to_chars with a precision formats as printf does in the C locale, whatever the
    // process's locale is. 32 bytes hold the longest result ("-1.7976931348623157e+308").
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value,
                                                      std::chars_format::general, /*precision*/ 17);
    out->append(buffer, result.ptr);
}

// Bytes written as a backslash and one letter.
struct ShortEscape
{
    char byte;
    const char* text;
};
constexpr ShortEscape kShortEscapes[] = {
    {'"', "\\\""}, {'\\', "\\\\"}, {'\b', "\\b"}, {'\f', "\\f"},
    {'\n', "\\n"}, {'\r', "\\r"},  {'\t', "\\t"},
};

// The short escape of the byte, or null.
const char* shortEscape(char c)
{
    for (const ShortEscape& escape : kShortEscapes)
    {
        if (escape.byte == c)
            return escape.text;
    }
    return nullptr;
}

void dumpString(const std::string& value, std::string* out)
{
    static constexpr char kHexDigits[] = "0123456789abcdef";
    *out += '"';
    for (size_t i = 0; i < value.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (const char* escape = shortEscape(value[i]))
        {
            *out += escape;
        }
        else if (byte < 0x20)
        {
            *out += "\\u00";
            *out += kHexDigits[byte >> 4];
            *out += kHexDigits[byte & 0xF];
        }
        else if (byte == 0xE2 && i + 2 < value.size() && value[i + 1] == '\x80' &&
                 (value[i + 2] == '\xA8' || value[i + 2] == '\xA9'))
        {
            // U+2028 and U+2029 are valid in JSON strings but end lines in JavaScript.
            *out += value[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        }
        else
        {
            *out += value[i];
        }
    }
    *out += '"';
}

void dumpValue(const Json& value, std::string* out);

void dumpArray(const Json::Array& items, std::string* out)
{
    *out += '[';
    for (size_t i = 0; i < items.size(); ++i)
    {
        if (i > 0)
            *out += ", ";
        dumpValue(items[i], out);
    }
    *out += ']';
}

void dumpObject(const Json::Object& members, std::string* out)
{
    *out += '{';
    bool first = true;
    for (const auto& [key, member] : members)
    {
        if (!first)
            *out += ", ";
        first = false;
        dumpString(key, out);
        *out += ": ";
        dumpValue(member, out);
    }
    *out += '}';
}

void dumpValue(const Json& value, std::string* out)
{
    switch (value.type())
    {
        case Json::Type::kNull:
            *out += "null";
            return;
        case Json::Type::kNumber:
            dumpNumber(value.numberValue(), out);
            return;
        case Json::Type::kBool:
            *out += value.boolValue() ? "true" : "false";
            return;
        case Json::Type::kString:
            dumpString(value.stringValue(), out);
            return;
        case Json::Type::kArray:
            dumpArray(value.arrayItems(), out);
            return;
        case Json::Type::kObject:
            dumpObject(value.objectItems(), out);
            return;
    }
}

}  // namespace

std::string Json::dump() const
{
    std::string out;
    dumpValue(*this, &out);
    return out;
}

}  // namespace nx::kit
