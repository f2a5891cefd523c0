// Helpers for tests that check the assertion lines printed by the library objects.
//
// The line number of an assertion depends on the source layout, so captured texts are
// compared with every "<path>:<digits> (" turned into "<path>:N (". Not thread-safe: stderr
// capture is process-wide.

#pragma once

#include <functional>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace nx::sdk::test
{

// Runs `action` and returns what it wrote to the standard error stream.
inline std::string captureStderr(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

// `text` with the line number of every assertion line replaced by "N".
inline std::string withoutLineNumbers(const std::string& text)
{
    static const std::regex kLineNumber(R"(:[0-9]+ \()");
    return std::regex_replace(text, kLineNumber, ":N (");
}

// One printed assertion line: the print prefix, a line break, the report with line "N".
inline std::string assertionLine(const std::string& prefix, const std::string& shortPath,
                                 const std::string& condition, const std::string& message)
{
    return prefix + "\n>>> ASSERTION FAILED: " + shortPath + ":N (" + condition + ") " + message +
           "\n";
}

}  // namespace nx::sdk::test
