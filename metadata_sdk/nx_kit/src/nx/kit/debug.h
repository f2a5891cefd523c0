// Diagnostic output: every text the library writes for people goes through this unit.
//
// Lines go to one process-wide stream (the standard error stream), each written whole and
// flushed at once: while that stream writes to standard error, a line reaches the system as
// one write under one lock, so lines of different threads never mix. Assertion failures are printed
// and never stop the process: the caller carries on with its fallback. Print prefixes are derived
// from source file names and cached. All functions are thread-safe.

#pragma once

#include <cstring>
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

// Integer types that an output stream writes in decimal (not bool, not the character types).
template <typename T>
constexpr bool isDecimalInteger()
{
    using U = std::remove_cv_t<T>;
    return std::is_integral_v<U> && !std::is_same_v<U, bool> && !std::is_same_v<U, char> &&
           !std::is_same_v<U, signed char> && !std::is_same_v<U, unsigned char> &&
           !std::is_same_v<U, wchar_t> && !std::is_same_v<U, char16_t> &&
           !std::is_same_v<U, char32_t>;
}

// Values that LineWriter hands to an output stream: everything it does not format itself.
template <typename T>
constexpr bool isStreamedOnly()
{
    using U = std::remove_cv_t<std::decay_t<T>>;
    return !isDecimalInteger<U>() && !std::is_same_v<U, char> && !std::is_same_v<U, char*> &&
           !std::is_same_v<U, const char*> && !std::is_same_v<U, const void*> &&
           !std::is_same_v<U, void*> && !std::is_same_v<U, std::string>;
}

// Writes one line: collects the pieces streamed into it in a buffer of its own (on the
// stack; the heap only for a line longer than that) and, when the statement that created it
// completes, writes prefix + pieces + a line end to diagnosticStream() in one piece. Strings,
// characters, integers and untyped pointers are formatted here as the output stream would
// format them; any other value goes through an output stream.
class LineWriter
{
public:
    explicit LineWriter(const std::string& prefix) { append(prefix.data(), prefix.size()); }
    explicit LineWriter(const char* prefix) { *this << prefix; }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter();

    // A string: its bytes as they are. A null C string ends the line there, without even its
    // line end, as it puts an output stream into the failed state.
    LineWriter& operator<<(const std::string& text)
    {
        append(text.data(), text.size());
        return *this;
    }
    LineWriter& operator<<(const char* text)
    {
        if (text)
            append(text, std::char_traits<char>::length(text));
        else
            m_failed = true;
        return *this;
    }
    LineWriter& operator<<(char c)
    {
        append(&c, 1);
        return *this;
    }

    // A pointer in hexadecimal with "0x" in front; null gives "0".
    LineWriter& operator<<(const void* pointer);

    // An integer in decimal.
    template <typename T, std::enable_if_t<isDecimalInteger<T>(), int> = 0>
    LineWriter& operator<<(T value)
    {
        if constexpr (std::is_signed_v<T>)
            return appendSigned(static_cast<long long>(value));
        else
            return appendUnsigned(static_cast<unsigned long long>(value));
    }

    // Any other value, as an output stream writes it.
    template <typename T, std::enable_if_t<isStreamedOnly<T>(), int> = 0>
    LineWriter& operator<<(const T& value)
    {
        std::ostringstream text;
        text << value;
        return *this << text.str();
    }

private:
    static constexpr size_t kInlineCapacity = 512;

    // Inline while the line fits its buffer (a literal's length is then known when compiled).
    void append(const char* data, size_t size)
    {
        if (m_size + size <= kInlineCapacity && m_overflow.empty() && !m_failed)
        {
            std::memcpy(m_inline + m_size, data, size);
            m_size += size;
            return;
        }
        appendSlowly(data, size);
    }
    void appendSlowly(const char* data, size_t size);
    LineWriter& appendSigned(long long value);
    LineWriter& appendUnsigned(unsigned long long value);

    char m_inline[kInlineCapacity];  //< The line while it fits.
    size_t m_size = 0;               //< Bytes in m_inline.
    std::string m_overflow;          //< The whole line once it has outgrown m_inline.
    bool m_failed = false;  //< A null C string was streamed: like a stream, take nothing more.
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

// The print prefix of the current source file, looked up once per place that uses it.
#define NX_KIT_SOURCE_PREFIX                                                                 \
    (                                                                                        \
        []() -> const std::string&                                                           \
        {                                                                                    \
            static const std::string prefix = ::nx::kit::debug::sourcePrintPrefix(__FILE__); \
            return prefix;                                                                   \
        }())

// Evaluates CONDITION; when false, reports it through PRINT_FUNC with MESSAGE. Yields the
// condition's value so that the caller can choose its fallback.
#define NX_KIT_ASSERT(PRINT_FUNC, CONDITION, MESSAGE)                                             \
    ((CONDITION) ? true                                                                           \
                 : (::nx::kit::debug::reportAssertionFailure((PRINT_FUNC), #CONDITION, (MESSAGE), \
                                                             __FILE__, __LINE__),                 \
                    false))
