// JsonFields: reads one JSON object of an input file (a scenario, a simulation) member by
// member and strictly: a member of the wrong type, a number out of its range and a member
// that nothing reads (a misspelt key) are refused, each with the member's path in the file
// ("activity[2].everyMs") and, for a value, what it may be ("a whole number from 1 to
// 86400000"). Every member the object may hold is read through it, then done() says
// whether the object was valid. The first failure is the one reported.
//
// Not thread-safe; one JsonFields belongs to the reader of one object.

#pragma once

#include <cstdint>
#include <set>
#include <string>

#include <nx/kit/json.h>

namespace korvane::host::cli
{

// The ranges of the Camera SDK's record fields, for the members that describe them.
constexpr int64_t kInt32Min = -2147483647 - 1;
constexpr int64_t kInt32Max = 2147483647;
constexpr int64_t kUint32Max = 4294967295;

class JsonFields
{
public:
    // Reads `object`, found at `path` in the file ("" for the whole file, else e.g.
    // "cameras[0]"); the first failure goes to `*errorText`, which must outlive the reader.
    // A value that is not an object fails at once.
    JsonFields(const nx::kit::Json& object, std::string path, std::string* errorText);

    JsonFields(const JsonFields&) = delete;
    JsonFields& operator=(const JsonFields&) = delete;

    // Each reader takes `key` as a member the object may hold and returns `fallback` when
    // the member is absent or fails.
    std::string text(const char* key, const std::string& fallback);
    int64_t integer(const char* key, int64_t fallback, int64_t minimum, int64_t maximum);
    double number(const char* key, double fallback, double minimum, double maximum);
    bool boolean(const char* key, bool fallback);
    // The member, which must be an object when present; null when absent or failed.
    const nx::kit::Json& object(const char* key);
    // The member's items, which must be a list when present; none when absent or failed.
    const nx::kit::Json::Array& list(const char* key);

    // The member as it is, for a caller that checks it itself; null when absent.
    const nx::kit::Json& value(const char* key);

    // Whether the object has the member (which counts as taken).
    bool has(const char* key);

    // The path of a member, and of an item of a member that is a list.
    std::string pathOf(const std::string& key) const;
    std::string pathOf(const std::string& key, size_t index) const;

    // Fails with "<path of key>: <why>", unless a failure came first; returns false.
    bool fail(const std::string& key, const std::string& why);

    // Fails with "<path>: <why>", about the object as a whole; returns false.
    bool failHere(const std::string& why);

    // Whether nothing failed so far.
    bool ok() const { return m_errorText->empty(); }

    // Where the first failure goes, for the readers of the object's members.
    std::string* errorText() const { return m_errorText; }

    // Ends the reading: whether nothing failed and every member of the object was taken.
    bool done();

    // Checks one value found at `path` on its own (a list item): a whole number in range.
    static bool integerAt(const nx::kit::Json& value, const std::string& path, int64_t minimum,
                          int64_t maximum, int64_t* result, std::string* errorText);

private:
    const nx::kit::Json* member(const char* key);

    const nx::kit::Json m_object;  //< A copy: its contents are shared, not copied.
    const std::string m_path;
    std::string* const m_errorText;
    std::set<std::string> m_taken;
};

// "a whole number from <minimum> to <maximum>", as the refusals say it.
std::string wholeNumberText(int64_t minimum, int64_t maximum);

}  // namespace korvane::host::cli
