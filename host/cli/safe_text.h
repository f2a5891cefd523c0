// Safe text: text that a camera or a capture supplied (plate numbers, labels, serial
// numbers, the plugin's messages about them), made safe for where the host shows it. A
// terminal takes control characters as commands (an escape sequence in a plate clears the
// screen), and a JSON reader needs valid UTF-8.
//
// Values only; the functions are pure and thread-safe.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvane::host::cli
{

// The length of the UTF-8 sequence at `i` and, in `*code`, the character it encodes; 0 when
// the bytes there are no valid UTF-8 (a stray or missing continuation byte, an overlong
// form, a surrogate, beyond U+10FFFF). REQUIRES: i < text.size().
std::size_t utf8Length(const std::string& text, std::size_t i, uint32_t* code);

// The text for a terminal: control characters written as "\n", "\t", "\r" or "\xNN" (C0
// and DEL) and "\u0085" (C1 and the controls that reorder text on the screen: U+202A to
// U+202E, U+2066 to U+2069), each byte that is no valid UTF-8 as "\xNN", and a backslash
// doubled, so that nothing shown can be mistaken for an escape; everything else as is.
std::string terminalText(const std::string& text);

// A JSON text (as dumped, with C0 controls escaped) made safe for a terminal and for any
// JSON reader: the other controls of terminalText() become "\uNNNN" escapes, each byte that
// is no valid UTF-8 "\ufffd" (the replacement character). Such bytes occur only inside
// strings, so the result is valid JSON with the same values, the replaced bytes apart.
std::string cleanJsonText(const std::string& json);

}  // namespace korvane::host::cli
