// Host string maps the SDK's own StringMap cannot be: one that reports a negative entry
// count, for the conversion's failure path, and one that yields its entries in the order
// given, repeats and null texts included.

#pragma once

#include <utility>
#include <vector>

#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk::test
{

class NegativeCountMap final : public RefCountable<IStringMap>
{
public:
    explicit NegativeCountMap(int count) : m_count(count) {}
    int count() const override { return m_count; }
    const char* key(int) const override { return nullptr; }
    const char* value(const char*) const override { return nullptr; }
    const char* valueAt(int) const override { return nullptr; }

private:
    const int m_count;
};

class EntryListMap final : public RefCountable<IStringMap>
{
public:
    using Entries = std::vector<std::pair<const char*, const char*>>;

    explicit EntryListMap(Entries entries) : m_entries(std::move(entries)) {}
    int count() const override { return static_cast<int>(m_entries.size()); }
    const char* key(int i) const override { return m_entries.at(static_cast<size_t>(i)).first; }
    const char* value(const char*) const override { return nullptr; }
    const char* valueAt(int i) const override
    {
        return m_entries.at(static_cast<size_t>(i)).second;
    }

private:
    const Entries m_entries;
};

}  // namespace nx::sdk::test
