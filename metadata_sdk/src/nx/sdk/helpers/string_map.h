// StringMap: the library's IStringMap, an ordered map from text to text.
//
// Keys are ordered by byte-wise comparison. The entries are kept in one array sorted by
// key, so that index access (the way a reader walks every entry) takes constant time and a
// lookup by key logarithmic time; an insertion moves the entries after it. Not locked:
// filled by one thread before it is published.

#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk
{

class StringMap final : public RefCountable<IStringMap>
{
public:
    StringMap() = default;

    // Inserts or overwrites the entry of `key`. An empty key is reported as an assertion
    // failure and then stored like any other.
    void setItem(const std::string& key, const std::string& value);

    int count() const override;
    const char* key(int i) const override;
    const char* value(const char* key) const override;
    const char* valueAt(int i) const override;

private:
    ~StringMap() override = default;

    using Entry = std::pair<std::string, std::string>;

    // The i-th entry in key order, or null when i is out of range.
    const Entry* entryAt(int i) const;

    // The first entry whose key is not less than `key`.
    std::vector<Entry>::const_iterator lowerBound(std::string_view key) const;

    std::vector<Entry> m_entries;  //< Sorted by key, no key twice.
};

}  // namespace nx::sdk
