// A host string map that reports a negative entry count, for the conversion's failure path.

#pragma once

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

}  // namespace nx::sdk::test
