#include "safe_text.h"

#include <cstdio>

namespace korvane::host::cli
{

namespace
{

// Whether a terminal takes the character as a command rather than as something to show.
bool isControl(uint32_t code)
{
    return code < 0x20 || (code >= 0x7F && code < 0xA0) || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

// `format` with `value` in it, appended to `out`.
void appendEscape(const char* format, uint32_t value, std::string* out)
{
    char text[16];
    std::snprintf(text, sizeof(text), format, static_cast<unsigned>(value));
    *out += text;
}

// The short form of a C0 control, or null.
const char* shortEscape(uint32_t code)
{
    switch (code)
    {
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return nullptr;
    }
}

}  // namespace

std::size_t utf8Length(const std::string& text, std::size_t i, uint32_t* code)
{
    const auto byte = [&](std::size_t k) -> uint32_t
    { return static_cast<unsigned char>(text[k]); };
    const uint32_t lead = byte(i);
    if (lead < 0x80)
        return *code = lead, 1;
    std::size_t length = 0;  // The count of leading one bits: 2 to 4 in a lead byte.
    while (length < 5 && (lead & (0x80u >> length)) != 0)
        ++length;
    if (length < 2 || length > 4)
        return 0;
    uint32_t value = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k)
    {
        if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

std::string terminalText(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        uint32_t code = 0;
        const std::size_t length = utf8Length(text, i, &code);
        if (length == 0)
            appendEscape("\\x%02x", static_cast<unsigned char>(text[i]), &result);
        else if (code == '\\')
            result += "\\\\";
        else if (const char* escape = shortEscape(code))
            result += escape;
        else if (isControl(code))
            appendEscape(code < 0x80 ? "\\x%02x" : "\\u%04x", code, &result);
        else
            result.append(text, i, length);
        i += length == 0 ? 1 : length;
    }
    return result;
}

std::string cleanJsonText(const std::string& json)
{
    std::string result;
    result.reserve(json.size());
    for (std::size_t i = 0; i < json.size();)
    {
        uint32_t code = 0;
        const std::size_t length = utf8Length(json, i, &code);
        if (length == 0)
            result += "\\ufffd";
        else if (code >= 0x7F && isControl(code))
            appendEscape("\\u%04x", code, &result);
        else
            result.append(json, i, length);
        i += length == 0 ? 1 : length;
    }
    return result;
}

}  // namespace korvane::host::cli
