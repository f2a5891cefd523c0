#include "debug.h"

#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <mutex>
#include <vector>

#include "port/mutex.h"
#include "standard_error.h"

namespace nx::kit::debug
{

namespace
{

// This unit's own compile-time path; its separator decides how paths are cut.
const char* ownSourcePath()
{
    return __FILE__;
}

struct PathStyle
{
    char separator = '\0';     //< '\0' when the path holds no separator.
    std::string sourceMarker;  //< separator + "src" + separator.
};

const PathStyle& pathStyle()
{
    static const PathStyle style = []()
    {
        PathStyle s;
        const std::string path = ownSourcePath();
        if (path.find('/') != std::string::npos)
            s.separator = '/';
        else if (path.find('\\') != std::string::npos)
            s.separator = '\\';
        if (s.separator)
            s.sourceMarker = std::string(1, s.separator) + "src" + s.separator;
        return s;
    }();
    return style;
}

// Serialises whole lines so that lines of different threads never mix mid-line.
korvane::port::Mutex& lineMutex()
{
    static korvane::port::Mutex mutex;
    return mutex;
}

// The standard error stream's own buffer, taken when this library is loaded (the standard
// streams exist by then: <iostream> above sets them up first). While the diagnostic stream
// still writes to it (unbuffered), a line goes straight to the operating system; a stream
// pointed at another buffer (a test's) gets its lines through the stream.
std::streambuf* const kStandardErrorBuffer = std::cerr.rdbuf();

// Writes one whole line, its line end included, to the diagnostic stream.
void writeLine(const char* data, size_t size)
{
    std::ostream& stream = diagnosticStream();
    const bool direct = stream.good() && stream.rdbuf() == kStandardErrorBuffer;
    const korvane::port::MutexLock lock(&lineMutex());
    if (direct)
    {
        writeToStandardError(data, size);
        return;
    }
    stream.write(data, static_cast<std::streamsize>(size));
    stream.flush();
}

struct PrefixCache
{
    std::mutex mutex;
    std::map<std::string, std::string> prefixes;
};

PrefixCache& prefixCache()
{
    static PrefixCache cache;
    return cache;
}

void appendEscaped(std::string* out, char c)
{
    const auto byte = static_cast<unsigned char>(c);
    switch (byte)
    {
        case 0:
            *out += "\\000";
            return;
        case '\t':
            *out += "\\t";
            return;
        case '\n':
            *out += "\\n";
            return;
        case '\r':
            *out += "\\r";
            return;
        case '"':
            *out += "\\\"";
            return;
        case '\\':
            *out += "\\\\";
            return;
        default:
            break;
    }
    if (byte >= 32 && byte <= 126)
    {
        *out += c;
        return;
    }
    static const char kHex[] = "0123456789ABCDEF";
    // The two quotes end the escape, so that a following hex digit is not read into it.
    *out += "\\x";
    *out += kHex[byte >> 4];
    *out += kHex[byte & 0xF];
    *out += "\"\"";
}

// Whether appendEscaped() writes `c` as it is.
bool isPlain(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 32 && byte <= 126 && c != '"' && c != '\\';
}

std::string quoted(const char* data, size_t size)
{
    std::string result;
    result.reserve(size + 2);  //< Enough unless something needs escaping.
    result += '"';
    size_t i = 0;
    while (i < size)
    {
        // Plain runs are copied whole: most texts are nothing else.
        size_t end = i;
        while (end < size && isPlain(data[end]))
            ++end;
        result.append(data + i, end - i);
        if (end < size)
            appendEscaped(&result, data[end++]);
        i = end;
    }
    result += '"';
    return result;
}

}  // namespace

std::ostream& diagnosticStream()
{
    static std::ostream& stream = std::cerr;
    return stream;
}

bool diagnosticsEnabled()
{
    return diagnosticStream().rdbuf() != nullptr;
}

LineWriter::~LineWriter()
{
    if (!m_failed)
        append("\n", 1);
    if (m_overflow.empty())
        writeLine(m_inline, m_size);
    else
        writeLine(m_overflow.data(), m_overflow.size());
}

void LineWriter::appendSlowly(const char* data, size_t size)
{
    if (m_failed)
        return;
    if (m_overflow.empty())
    {
        m_overflow.reserve(2 * kInlineCapacity + size);
        m_overflow.assign(m_inline, m_size);
    }
    m_overflow.append(data, size);
}

LineWriter& LineWriter::operator<<(const void* pointer)
{
    if (!pointer)
        return *this << '0';
    static const char kHex[] = "0123456789abcdef";
    char text[2 + 2 * sizeof(uintptr_t)];
    char* const end = text + sizeof(text);
    char* begin = end;
    for (auto value = reinterpret_cast<uintptr_t>(pointer); value != 0; value >>= 4)
        *--begin = kHex[value & 0xF];
    *--begin = 'x';
    *--begin = '0';
    append(begin, static_cast<size_t>(end - begin));
    return *this;
}

LineWriter& LineWriter::appendSigned(long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    append(text, static_cast<size_t>(result.ptr - text));
    return *this;
}

LineWriter& LineWriter::appendUnsigned(unsigned long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    append(text, static_cast<size_t>(result.ptr - text));
    return *this;
}

std::string sourcePrintPrefix(const char* sourceFile)
{
    const std::string path = sourceFile ? sourceFile : "";
    PrefixCache& cache = prefixCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    std::string& prefix = cache.prefixes[path];
    if (prefix.empty())
    {
        std::string name = path;
        if (const char separator = pathStyle().separator)
        {
            const size_t lastSeparator = name.rfind(separator);
            if (lastSeparator != std::string::npos)
                name = name.substr(lastSeparator + 1);
        }
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name = name.substr(0, dot);
        prefix = "[" + name + "] ";
    }
    return prefix;
}

std::string shortSourcePath(const char* sourceFile)
{
    const std::string path = sourceFile ? sourceFile : "";
    const PathStyle& style = pathStyle();
    if (!style.separator)
        return path;

    const size_t marker = path.find(style.sourceMarker + "nx" + style.separator);
    if (marker != std::string::npos)
        return path.substr(marker + style.sourceMarker.size());

    const std::string ownPath = ownSourcePath();
    size_t common = 0;
    while (common < path.size() && common < ownPath.size() && path[common] == ownPath[common])
        ++common;
    if (common == 0)
        return path;
    const size_t separator = path.find(style.separator, common);
    if (separator != std::string::npos)
        return path.substr(separator + 1);
    return path.substr(common);
}

void reportAssertionFailure(const PrintFunc& print, const char* condition,
                            const std::string& message, const char* sourceFile, int line)
{
    const std::string text = "\n>>> ASSERTION FAILED: " + shortSourcePath(sourceFile) + ":" +
                             std::to_string(line) + " (" + (condition ? condition : "") + ") " +
                             message;
    if (print)
        print(text.c_str());
}

std::string formatText(const char* format, ...)
{
    if (!format)
        return std::string();
    va_list args;
    va_start(args, format);
    va_list argsCopy;
    va_copy(argsCopy, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0)
    {
        va_end(argsCopy);
        return format;
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, argsCopy);
    va_end(argsCopy);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string toDiagnosticText(char c)
{
    std::string result;
    appendEscaped(&result, c);
    return result;
}

std::string toDiagnosticText(const char* s)
{
    if (!s)
        return "null";
    return quoted(s, std::char_traits<char>::length(s));
}

std::string toDiagnosticText(const std::string& s)
{
    return quoted(s.data(), s.size());
}

std::string toDiagnosticText(const void* p)
{
    if (!p)
        return "null";
    return formatText("%p", p);
}

}  // namespace nx::kit::debug
