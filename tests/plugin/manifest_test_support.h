// Helpers for the manifest tests: comparing JSON texts whatever their layout.

#pragma once

#include <string>

namespace korvane::test
{

// The text without the white space between tokens: equal texts have equal keys, values and
// key order, whatever their layout.
inline std::string compact(const std::string& text)
{
    std::string result;
    bool inString = false;
    bool escaped = false;
    for (const char c : text)
    {
        if (inString)
        {
            result += c;
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        }
        else if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
        {
            result += c;
            inString = (c == '"');
        }
    }
    return result;
}

// `value` in double quotes, for building compact JSON texts.
inline std::string q(const std::string& value)
{
    return "\"" + value + "\"";
}

}  // namespace korvane::test
