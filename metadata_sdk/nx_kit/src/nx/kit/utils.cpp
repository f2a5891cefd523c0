#include "utils.h"

#include <cstdint>
#include <limits>

namespace nx::kit::utils
{

namespace
{

// White space as the C locale's isspace() sees it.
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool fail(const char* errorText, std::string* outErrorText)
{
    if (outErrorText)
        *outErrorText = errorText;
    return false;
}

}  // namespace

bool stoi(const std::string& text, int* outValue, std::string* outErrorText)
{
    size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    {
        negative = text[i] == '-';
        ++i;
    }

    if (i >= text.size() || !isDigit(text[i]))
        return fail("invalid stoi argument", outErrorText);

    // The magnitude stops growing once it is past the range, so long texts cannot wrap it.
    constexpr std::int64_t kMaxMagnitude =
        -static_cast<std::int64_t>(std::numeric_limits<int>::min());
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
    {
        if (magnitude <= kMaxMagnitude)
            magnitude = magnitude * 10 + (text[i] - '0');
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return fail("stoi argument out of range", outErrorText);

    *outValue = static_cast<int>(value);
    if (outErrorText)
        outErrorText->clear();
    return true;
}

}  // namespace nx::kit::utils
