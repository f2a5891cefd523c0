#include "capture_text.h"

#include <cstring>

namespace korvane::sdk_recorder
{

using nx::kit::Json;

namespace
{

// The length of the valid UTF-8 sequence at `text`, or 0 when it is not one.
size_t utf8SequenceLength(const uint8_t* text, size_t remaining)
{
    const uint8_t lead = text[0];
    size_t length = 0;
    uint32_t codePoint = 0;
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        length = 2, codePoint = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, codePoint = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, codePoint = lead & 0x07;
    else
        return 0;
    if (length > remaining)
        return 0;
    for (size_t i = 1; i < length; ++i)
    {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || surrogate)
        return 0;
    return length;
}

}  // namespace

void putText(Json::Object* object, const std::string& key, const char* field, size_t fieldSize)
{
    const size_t size = field ? strnlen(field, fieldSize) : 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(field);
    std::string text;
    bool valid = true;
    for (size_t i = 0; i < size;)
    {
        const size_t length = utf8SequenceLength(bytes + i, size - i);
        if (length == 0)
        {
            text += "\xEF\xBF\xBD";
            valid = false;
            ++i;
            continue;
        }
        text.append(field + i, length);
        i += length;
    }
    (*object)[key] = Json(std::move(text));
    if (!valid)
        (*object)[key + "Hex"] = Json(hexOf(bytes, size));
}

std::string hexOf(const uint8_t* bytes, size_t size)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i)
    {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

Json byteArrayOf(const uint8_t* bytes, size_t size)
{
    Json::Array items;
    items.reserve(size);
    for (size_t i = 0; i < size; ++i)
        items.emplace_back(static_cast<int>(bytes[i]));
    return Json(std::move(items));
}

}  // namespace korvane::sdk_recorder
