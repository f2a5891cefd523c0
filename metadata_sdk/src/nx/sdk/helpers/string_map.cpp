#include "string_map.h"

#include <algorithm>

#include <nx/kit/debug.h>

namespace nx::sdk
{

namespace
{

void printLine(const char* text)
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << text;
}

}  // namespace

void StringMap::setItem(const std::string& key, const std::string& value)
{
    NX_KIT_ASSERT(printLine, !key.empty(), "");
    const auto at = lowerBound(key);
    if (at != m_entries.end() && at->first == key)
    {
        m_entries[static_cast<size_t>(at - m_entries.begin())].second = value;
        return;
    }
    m_entries.insert(at, Entry(key, value));
}

int StringMap::count() const
{
    return static_cast<int>(m_entries.size());
}

const StringMap::Entry* StringMap::entryAt(int i) const
{
    if (i < 0 || i >= count())
        return nullptr;
    return &m_entries[static_cast<size_t>(i)];
}

std::vector<StringMap::Entry>::const_iterator StringMap::lowerBound(std::string_view key) const
{
    // std::string's ordering, the byte-wise one a std::map of strings would use; a key
    // with a zero byte in it is compared whole.
    return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                            [](const Entry& entry, std::string_view k)
                            { return std::string_view(entry.first) < k; });
}

const char* StringMap::key(int i) const
{
    const Entry* const entry = entryAt(i);
    return entry ? entry->first.c_str() : nullptr;
}

const char* StringMap::value(const char* key) const
{
    if (!key)
        return nullptr;
    const std::string_view wanted(key);
    const auto entry = lowerBound(wanted);
    return entry != m_entries.end() && entry->first == wanted ? entry->second.c_str() : nullptr;
}

const char* StringMap::valueAt(int i) const
{
    const Entry* const entry = entryAt(i);
    return entry ? entry->second.c_str() : nullptr;
}

}  // namespace nx::sdk
