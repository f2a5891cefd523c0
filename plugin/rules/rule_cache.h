// The process-wide rule caches: what the camera does not store about a rule (figure colour,
// label, show-on-camera flag) and the camera's object-filter parameters, kept between a
// read of a rule kind and its next write, for all device agents of the process; and the
// figure text each slot last decoded, kept parsed.
//
// Thread-safety: one cache per kind, each with its own mutex. A reader or writer holds the
// mutex of its kind for the whole of one read or one write; every operation below except
// copyEntries() and clear() requires it held.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nx/kit/json.h>

#include "camera_sdk/ostrel_sdk.h"
#include "port/mutex.h"
#include "rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

// One object filter as the camera last reported it.
struct CachedFilter
{
    int32_t type = 0;
    uint8_t firstParameters[8] = {};
    uint8_t secondParameters[8] = {};
};

// What the cache keeps of one rule slot.
struct RuleCacheEntry
{
    std::vector<CachedFilter> filters;
    std::string color;
    std::string label;
    bool showOnCamera = false;

    // The figure text last decoded for this slot, and its outer object as parsed: every
    // settings change resends all the figures, and most of them arrive unchanged.
    std::string figureText;
    nx::kit::Json parsedFigure;
};

// The cache of one rule kind: entries indexed by slot, grown on demand, never shrunk.
class RuleCache
{
public:
    RuleCache() = default;
    RuleCache(const RuleCache&) = delete;
    RuleCache& operator=(const RuleCache&) = delete;

    // The mutex that serialises the reads and writes of this kind.
    korvane::port::Mutex& mutex() RETURN_CAPABILITY(m_mutex) { return m_mutex; }

    // Grows the cache to `count` entries if it is shorter.
    void growTo(std::size_t count) REQUIRES(m_mutex);

    // The number of entries.
    std::size_t size() const REQUIRES(m_mutex) { return m_entries.size(); }

    // The entry of slot `index`. REQUIRES: index < size().
    RuleCacheEntry& entry(std::size_t index) REQUIRES(m_mutex) { return m_entries[index]; }

    // A copy of every entry, taken under the mutex.
    std::vector<RuleCacheEntry> copyEntries() EXCLUDES(m_mutex);

    // Forgets every entry, under the mutex; for tests, the plugin never calls it.
    void clear() EXCLUDES(m_mutex);

private:
    korvane::port::Mutex m_mutex;
    std::vector<RuleCacheEntry> m_entries GUARDED_BY(m_mutex);
};

// The process-wide cache of `kind`; created on first use and never destroyed.
RuleCache& ruleCache(RuleKind kind);

// Grows the entry's filter list to `count` and copies type and parameter blocks of the
// first `count` filters into it. REQUIRES: `filters` holds at least `count` records.
void refreshFilters(const ObjectFilter* filters, std::size_t count, RuleCacheEntry* entry);

}  // namespace nx::vms_server_plugins::analytics::sample
