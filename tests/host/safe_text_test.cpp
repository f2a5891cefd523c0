// Camera-supplied text as the host shows it: nothing a terminal takes as a command, and JSON
// that every reader takes.

#include "host/cli/safe_text.h"

#include <gtest/gtest.h>

namespace korvane::host::cli
{
namespace
{

struct SafeTextCase
{
    const char* what;
    std::string text;
    std::string terminal;  //< terminalText(text).
    std::string json;      //< cleanJsonText(text): C0 controls are the JSON dumper's to escape.
};

TEST(SafeTextTest, EscapesControlsAndBytesThatAreNoUtf8)
{
    const SafeTextCase kCases[] = {
        {"plain text and letters beyond ASCII", "KV 2041 \xC3\xA9\xE4\xB8\xAD",
         "KV 2041 \xC3\xA9\xE4\xB8\xAD", "KV 2041 \xC3\xA9\xE4\xB8\xAD"},
        {"an escape sequence and a line end", "\x1B[2J\n", "\\x1b[2J\\n", "\x1B[2J\n"},
        {"a backslash", "a\\x1b", "a\\\\x1b", "a\\x1b"},
        {"DEL and a C1 CSI", "\x7F\xC2\x9B", "\\x7f\\u009b", "\\u007f\\u009b"},
        {"a right-to-left override",
         "\xE2\x80\xAE"
         "AB",
         "\\u202eAB", "\\u202eAB"},
        {"a stray continuation byte and a cut sequence",
         "\x80"
         "A\xE4\xB8",
         "\\x80A\\xe4\\xb8", "\\ufffdA\\ufffd\\ufffd"},
        {"an overlong form and a surrogate", "\xC0\xAF\xED\xA0\x80", "\\xc0\\xaf\\xed\\xa0\\x80",
         "\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd"},
    };
    for (const SafeTextCase& c : kCases)
    {
        EXPECT_EQ(terminalText(c.text), c.terminal) << c.what;
        EXPECT_EQ(cleanJsonText(c.text), c.json) << c.what;
    }
}

}  // namespace
}  // namespace korvane::host::cli
