// StringMap: the library's IStringMap, an ordered map from text to text.
//
// Keys are ordered by byte-wise comparison. Index access walks the map from its first
// entry, so reading every entry by index costs time quadratic in the count; the maps here
// are small. Not locked: filled by one thread before it is published.

#pragma once

#include <map>
#include <string>

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

    using Map = std::map<std::string, std::string>;

    // The i-th entry in key order, or end() when i is out of range.
    Map::const_iterator entryAt(int i) const;

    Map m_map;
};

}  // namespace nx::sdk
