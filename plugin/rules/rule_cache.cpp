#include "rule_cache.h"

#include <cstring>

#include <nx/kit/immortal.h>

namespace nx::vms_server_plugins::analytics::sample
{

void RuleCache::growTo(std::size_t count)
{
    if (m_entries.size() < count)
        m_entries.resize(count);
}

std::vector<RuleCacheEntry> RuleCache::copyEntries()
{
    const korvane::port::MutexLock lock(&m_mutex);
    return m_entries;
}

void RuleCache::clear()
{
    const korvane::port::MutexLock lock(&m_mutex);
    m_entries.clear();
}

RuleCache& ruleCache(RuleKind kind)
{
    // Never destroyed, so a reader running late in process exit still finds its cache.
    static RuleCache* const caches = nx::kit::makeImmortal(new RuleCache[4]);
    return caches[ruleTypeCode(kind) - ruleTypeCode(RuleKind::kLineCross)];
}

void refreshFilters(const ObjectFilter* filters, std::size_t count, RuleCacheEntry* entry)
{
    if (entry->filters.size() < count)
        entry->filters.resize(count);
    for (std::size_t u = 0; u < count; ++u)
    {
        CachedFilter& cached = entry->filters[u];
        cached.type = filters[u].objectType;
        std::memcpy(cached.firstParameters, filters[u].firstParameters,
                    sizeof cached.firstParameters);
        std::memcpy(cached.secondParameters, filters[u].secondParameters,
                    sizeof cached.secondParameters);
    }
}

}  // namespace nx::vms_server_plugins::analytics::sample
