#include "string_map_conversion.h"

#include <iterator>

#include <nx/kit/debug.h>

namespace nx::sdk
{

namespace
{

// Prints the entries as a brace-enclosed block, one quoted "key: value" line per entry.
void printEntries(const IStringMap* stringMap, int count, const std::string& printPrefix,
                  const std::string& caption, const std::string& indent)
{
    using nx::kit::debug::toDiagnosticText;

    if (!caption.empty())
        NX_KIT_PRINT(printPrefix) << indent << caption << ":";
    NX_KIT_PRINT(printPrefix) << indent << "{";
    for (int i = 0; i < count; ++i)
    {
        NX_KIT_PRINT(printPrefix) << indent << "    " << toDiagnosticText(stringMap->key(i)) << ": "
                                  << toDiagnosticText(stringMap->valueAt(i))
                                  << (i + 1 < count ? "," : "");
    }
    NX_KIT_PRINT(printPrefix) << indent << "}";
}

// Sets key to value, with `hint` the position the key most likely belongs before. Past the
// last entry (every entry of a first delivery) it is placed without being looked up first,
// which saves a key comparison per entry; a key found there all the same is assigned.
std::map<std::string, std::string>::iterator putEntry(
    std::map<std::string, std::string>* target, std::map<std::string, std::string>::iterator hint,
    const char* key, const char* value)
{
    if (hint != target->end())
        return target->insert_or_assign(hint, key, value);
    const std::size_t sizeBefore = target->size();
    const auto placed = target->emplace_hint(hint, key, value);
    if (target->size() == sizeBefore)
        placed->second = value;
    return placed;
}

}  // namespace

bool convertStringMap(std::map<std::string, std::string>* target, const IStringMap* stringMap,
                      bool enableOutput, const std::string& printPrefix, const std::string& caption,
                      int indent)
{
    if (!stringMap)
    {
        NX_KIT_PRINT(printPrefix) << "ERROR: stringMap is null";
        return false;
    }

    const int count = stringMap->count();
    if (count < 0)
    {
        NX_KIT_PRINT(printPrefix) << "ERROR: " << caption << ": count is " << count;
        return false;
    }

    if (enableOutput)
        printEntries(stringMap, count, printPrefix, caption,
                     std::string(static_cast<size_t>(indent), ' '));

    // The host's entries come in key order, so each one usually belongs right after the
    // one before it: that position is the hint, and a wrong hint only costs a search.
    auto next = target->begin();
    for (int i = 0; i < count; ++i)
    {
        // A host map that yields a null key or value is read as holding the empty text.
        const char* const key = stringMap->key(i);
        const char* const value = stringMap->valueAt(i);
        next = std::next(putEntry(target, next, key ? key : "", value ? value : ""));
    }
    return true;
}

}  // namespace nx::sdk
