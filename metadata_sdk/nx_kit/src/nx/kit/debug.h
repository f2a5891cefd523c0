// Diagnostic output: every text the library writes for people goes through this unit.
//
// Lines go to one process-wide stream (the standard error stream), each written whole and
// flushed at once. Assertion failures are printed and never stop the process: the caller
// carries on with its fallback. Print prefixes are derived from source file names and
// cached. All functions are thread-safe.

#pragma once

#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

namespace nx::kit::debug
{

// The stream all diagnostic lines go to: the process's standard error stream.
std::ostream& diagnosticStream();

// Whether diagnostic lines can be written: false while diagnosticStream() has no stream
// buffer (output switched off, as the fuzz targets do).
bool diagnosticsEnabled();

// Writes one line: collects the pieces streamed into it and, when the statement that
// created it completes, writes prefix + pieces + a line end to diagnosticStream() in one
// piece and flushes.
class LineWriter
{
public:
    explicit LineWriter(const std::string& prefix) { m_text << prefix; }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter();

    template <typename T>
    LineWriter& operator<<(const T& value)
    {
        m_text << value;
        return *this;
    }

private:
    std::ostringstream m_text;  //< The prefix, then the pieces.
};

// Turns a streamed LineWriter into a void expression, for NX_KIT_PRINT.
struct LineVoidifier
{
    // Lower precedence than <<, so it applies to the whole streamed line.
    void operator&(const LineWriter&) const {}
};

// Receives the whole text of an assertion report and prints it.
using PrintFunc = std::function<void(const char*)>;

// The prefix "[" + base name without extension + "] " for a source file path; cached.
std::string sourcePrintPrefix(const char* sourceFile);

// The tail of a source path shown in assertion lines (from "nx" after a "src" folder, or
// after the part it shares with this unit's own path).
std::string shortSourcePath(const char* sourceFile);

// Builds "\n>>> ASSERTION FAILED: <short path>:<line> (<condition>) <message>" and hands it
// to `print`. Returns normally.
void reportAssertionFailure(const PrintFunc& print, const char* condition,
                            const std::string& message, const char* sourceFile, int line);

// printf-style formatting into a string; the format itself when formatting fails.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Printable, escaped text of a value: one byte, a C string (null gives "null"), a string
// object (embedded zero bytes included) or a pointer ("%p"; null gives "null").
std::string toDiagnosticText(char c);
std::string toDiagnosticText(const char* s);
std::string toDiagnosticText(const std::string& s);
std::string toDiagnosticText(const void* p);

template <typename T, typename = std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char>>>
std::string toDiagnosticText(T* p)
{
    return toDiagnosticText(static_cast<const void*>(p));
}

}  // namespace nx::kit::debug

// Starts one diagnostic line with the given prefix: NX_KIT_PRINT(prefix) << "text" << value;
// While diagnostics are switched off, neither the prefix nor the pieces are evaluated.
#define NX_KIT_PRINT(PREFIX)                \
    !::nx::kit::debug::diagnosticsEnabled() \
        ? (void)0                           \
        : ::nx::kit::debug::LineVoidifier() & ::nx::kit::debug::LineWriter(PREFIX)

// The print prefix of the current source file.
#define NX_KIT_SOURCE_PREFIX ::nx::kit::debug::sourcePrintPrefix(__FILE__)

// Evaluates CONDITION; when false, reports it through PRINT_FUNC with MESSAGE. Yields the
// condition's value so that the caller can choose its fallback.
#define NX_KIT_ASSERT(PRINT_FUNC, CONDITION, MESSAGE)                                             \
    ((CONDITION) ? true                                                                           \
                 : (::nx::kit::debug::reportAssertionFailure((PRINT_FUNC), #CONDITION, (MESSAGE), \
                                                             __FILE__, __LINE__),                 \
                    false))
