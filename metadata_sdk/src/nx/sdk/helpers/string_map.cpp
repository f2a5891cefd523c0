#include "string_map.h"

#include <iterator>

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
    m_map[key] = value;
}

int StringMap::count() const
{
    return static_cast<int>(m_map.size());
}

StringMap::Map::const_iterator StringMap::entryAt(int i) const
{
    if (i < 0 || i >= count())
        return m_map.end();
    return std::next(m_map.begin(), i);
}

const char* StringMap::key(int i) const
{
    const auto entry = entryAt(i);
    return entry == m_map.end() ? nullptr : entry->first.c_str();
}

const char* StringMap::value(const char* key) const
{
    if (!key)
        return nullptr;
    const auto entry = m_map.find(key);
    return entry == m_map.end() ? nullptr : entry->second.c_str();
}

const char* StringMap::valueAt(int i) const
{
    const auto entry = entryAt(i);
    return entry == m_map.end() ? nullptr : entry->second.c_str();
}

}  // namespace nx::sdk
