// Texts and byte blocks of the Camera SDK's records as JSON values of a capture.
//
// A capture is read back by a JSON parser that takes valid UTF-8 only, while a camera may
// fill its text fields in another encoding (plates in a national code page). Such a field is
// written twice: the text with each byte that is not UTF-8 replaced by U+FFFD, and the raw
// bytes in hexadecimal under the same key with "Hex" appended.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <nx/kit/json.h>

namespace korvane::sdk_recorder
{

// Puts the NUL-terminated (or field-long) text of `field` under `key`, and under key + "Hex"
// the raw bytes when they are not valid UTF-8.
void putText(nx::kit::Json::Object* object, const std::string& key, const char* field,
             size_t fieldSize);

// The bytes in lower-case hexadecimal, two digits per byte.
std::string hexOf(const uint8_t* bytes, size_t size);

// The bytes as an array of numbers 0..255.
nx::kit::Json byteArrayOf(const uint8_t* bytes, size_t size);

}  // namespace korvane::sdk_recorder
