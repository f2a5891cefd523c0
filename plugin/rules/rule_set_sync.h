// The steps that the line-crossing and the three area rule syncs share: preparing a rule
// set for the Camera SDK, refreshing the rule cache from what the camera reported, the
// per-rule settings common to every kind, the object-filter settings, and the read and
// write skeletons that run them under the kind's cache mutex.
//
// Counts that the camera reports are cut to the storage (four rules, three filters per
// rule), so nothing is read or written past a record or the filter storage.
//
// Thread-safety: readRuleSet and writeRuleSet hold the mutex of the kind's rule cache for
// their whole run; the other functions require the caller to hold it when they touch a
// cache entry.

#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <nx/sdk/helpers/settings_response.h>

#include "camera_sdk/ostrel_sdk.h"
#include "rule_cache.h"
#include "rule_figure.h"
#include "rule_kind.h"
#include "rule_switches.h"

namespace nx::vms_server_plugins::analytics::sample
{

// A Camera SDK rule-set read or write call.
template <typename RuleSet>
using RuleSetCall = int32_t (*)(void* handle, int32_t channel, RuleSet* rules);

// A rule set ready for a read: zeroed, every rule pointing at filter storage of its own
// with the capacity of three filters set. The storage lives as long as this object.
template <typename RuleSet>
class PreparedRuleSet
{
public:
    PreparedRuleSet()
    {
        for (int s = 0; s < kOstrelRuleSlots; ++s)
        {
            m_set.rules[s].filterCount = kOstrelFilterCapacity;
            m_set.rules[s].filters = m_filters[s];
        }
    }
    PreparedRuleSet(const PreparedRuleSet&) = delete;
    PreparedRuleSet& operator=(const PreparedRuleSet&) = delete;

    RuleSet* get() { return &m_set; }

private:
    RuleSet m_set{};
    ObjectFilter m_filters[kOstrelRuleSlots][kOstrelFilterCapacity]{};
};

// A count reported by the camera, cut to [0, capacity].
inline std::size_t reportedCount(int32_t count, int32_t capacity)
{
    return static_cast<std::size_t>(std::clamp(count, 0, capacity));
}

// After a failed Camera SDK call: calls OSTREL_GetLastError once and prints its value
// with the session's prefix, naming what failed (`operation`, e.g. "write the rules"), the
// kind and the camera, then `consequence` when it is not empty; records the failure in the
// session's collector when it has one.
void reportCameraFailure(const RuleSession& session, RuleKind kind, const char* operation,
                         const char* consequence = "");

// Reads a ".Sensitivity" or ".TimeThreshold" setting of `kind` as a base-10 integer. On
// failure prints one line with the session's prefix naming the key, its value and the error
// text, records it in the session's failure collector, and returns false leaving *value
// unchanged. REQUIRES: value != nullptr.
bool readNumberSetting(RuleKind kind, const RuleSession& session, const SettingLookup& lookup,
                       const std::string& key, uint32_t* value);

// A kind the channel does not support is not written; when its switch setting asks for it
// to be on ("true" or "1"), that is a failure: one line, and the session's collector.
void reportUnsupportedSwitch(RuleKind kind, const RuleSession& session,
                             const SettingLookup& lookup);

// `kind` was asked to be switched on and was not, because of `why`: one line with the
// session's prefix, and the session's collector.
void reportNotSwitchedOn(RuleKind kind, const RuleSession& session, const std::string& why);

// Applies the kind's switch setting through applyRuleSwitch: on unless exactly "false".
void applySwitchSetting(RuleKind kind, const RuleSession& session, const SettingLookup& lookup);

// Runs `body`, printing one line with `printPrefix` for anything it throws.
void runGuarded(const std::string& printPrefix, const char* operation,
                const std::function<void()>& body);

// Adds ".Enable", ".Sensitivity" and ".Priority" of rule `number`.
template <typename Rule>
void addCommonSettings(RuleKind kind, int number, const Rule& rule,
                       nx::sdk::SettingsResponse* response)
{
    response->setValue(ruleSettingKey(kind, number, kEnableSuffix), enabledText(rule.enabled));
    response->setValue(ruleSettingKey(kind, number, kSensitivitySuffix),
                       std::to_string(rule.sensitivity));
    response->setValue(ruleSettingKey(kind, number, kPrioritySuffix), priorityText(rule.priority));
}

// Refreshes the entry's filters from the rule and adds one setting per filter of a known
// type: "true" when the filter is enabled.
template <typename Rule>
void addFilterSettings(RuleKind kind, int number, const Rule& rule, RuleCacheEntry* entry,
                       nx::sdk::SettingsResponse* response)
{
    const std::size_t count = reportedCount(rule.filterCount, kOstrelFilterCapacity);
    refreshFilters(rule.filters, count, entry);
    for (std::size_t u = 0; u < count; ++u)
    {
        if (const char* suffix = filterSuffix(rule.filters[u].objectType))
        {
            response->setValue(ruleSettingKey(kind, number, suffix),
                               enabledText(rule.filters[u].enabled));
        }
    }
}

// Sets index, enabled flag, priority and sensitivity of slot `slot` of `kind` from the
// settings; false when the sensitivity is not a number. REQUIRES: `keys` has the slot's rule
// selected.
template <typename Rule>
bool applyCommonSettings(RuleKind kind, int slot, RuleSettingKeys* keys,
                         const SettingLookup& lookup, const RuleSession& session, Rule* rule)
{
    rule->ruleIndex = slot;
    rule->enabled = enabledFromText(lookup(keys->key(kEnableSuffix)));
    applyPriorityText(lookup(keys->key(kPrioritySuffix)), &rule->priority);
    return readNumberSetting(kind, session, lookup, keys->key(kSensitivitySuffix),
                             &rule->sensitivity);
}

// Sets every filter of a known cached type from its setting and the cached parameter
// blocks; a filter of another type keeps what was read. REQUIRES: `keys` has the rule
// selected.
template <typename Rule>
void applyFilterSettings(RuleSettingKeys* keys, const RuleCacheEntry& entry,
                         const SettingLookup& lookup, Rule* rule)
{
    const std::size_t count =
        std::min(reportedCount(rule->filterCount, kOstrelFilterCapacity), entry.filters.size());
    for (std::size_t u = 0; u < count; ++u)
    {
        const CachedFilter& cached = entry.filters[u];
        const char* suffix = filterSuffix(cached.type);
        if (!suffix)
            continue;
        ObjectFilter& filter = rule->filters[u];
        filter.objectType = cached.type;
        filter.enabled = enabledFromText(lookup(keys->key(suffix)));
        std::copy(std::begin(cached.firstParameters), std::end(cached.firstParameters),
                  filter.firstParameters);
        std::copy(std::begin(cached.secondParameters), std::end(cached.secondParameters),
                  filter.secondParameters);
    }
}

// Grows the cache to the reported rules and refreshes their filters; then makes sure
// entries for all four slots exist and that every rule's filter count fits the storage
// (a slot the camera did not report has no filters).
template <typename RuleSet>
void refreshCacheForWrite(RuleSet* set, RuleCache* cache) REQUIRES(cache->mutex())
{
    const std::size_t reported = reportedCount(set->ruleCount, kOstrelRuleSlots);
    cache->growTo(reported);
    for (std::size_t s = 0; s < kOstrelRuleSlots; ++s)
    {
        auto& rule = set->rules[s];
        const std::size_t filters =
            s < reported ? reportedCount(rule.filterCount, kOstrelFilterCapacity) : 0;
        rule.filterCount = static_cast<int32_t>(filters);
        if (s < reported)
            refreshFilters(rule.filters, filters, &cache->entry(s));
    }
    cache->growTo(kOstrelRuleSlots);
}

// Reads the kind's rules and adds their settings: `addRule(rule, entry, number)` adds the
// kind's own settings of one rule, then the filter settings follow.
template <typename RuleSet, typename AddRule>
void readRuleSet(RuleKind kind, const RuleSession& session, RuleSetCall<RuleSet> get,
                 nx::sdk::SettingsResponse* response, AddRule addRule)
{
    if (ruleCapability(session, kind) == 0)
        return;
    RuleCache& cache = ruleCache(kind);
    const korvane::port::MutexLock lock(&cache.mutex());
    PreparedRuleSet<RuleSet> prepared;
    RuleSet* set = prepared.get();
    if (get(session.handle, session.channel, set) == 0)
        return reportCameraFailure(session, kind, "read the rules");
    const std::size_t count = reportedCount(set->ruleCount, kOstrelRuleSlots);
    cache.growTo(count);
    for (std::size_t s = 0; s < count; ++s)
    {
        const int number = static_cast<int>(s) + 1;
        addRule(set->rules[s], cache.entry(s), number);
        addFilterSettings(kind, number, set->rules[s], &cache.entry(s), response);
    }
}

// Reads the kind's rules, rewrites all four slots from the settings and writes them back,
// then applies the kind's switch. `applyRule(rule, entry, slot, keys)` sets the kind's
// own fields of one rule, reading the settings named by `keys` (the slot's rule selected),
// and returns false when a number setting cannot be read, which stops the write before
// anything is sent.
template <typename RuleSet, typename ApplyRule>
void writeRuleSet(RuleKind kind, const RuleSession& session, RuleSetCall<RuleSet> get,
                  RuleSetCall<RuleSet> put, const SettingLookup& lookup, ApplyRule applyRule)
{
    if (ruleCapability(session, kind) == 0)
        return reportUnsupportedSwitch(kind, session, lookup);
    RuleCache& cache = ruleCache(kind);
    const korvane::port::MutexLock lock(&cache.mutex());
    PreparedRuleSet<RuleSet> prepared;
    RuleSet* set = prepared.get();
    if (get(session.handle, session.channel, set) == 0)
        return reportCameraFailure(session, kind, "read the rules");
    refreshCacheForWrite(set, &cache);
    set->ruleCount = kOstrelRuleSlots;
    RuleSettingKeys keys(kind);
    for (int s = 0; s < kOstrelRuleSlots; ++s)
    {
        keys.selectRule(s + 1);
        if (!applyRule(&set->rules[s], &cache.entry(s), s, &keys))
            return;
        applyFilterSettings(&keys, cache.entry(s), lookup, &set->rules[s]);
    }
    if (put(session.handle, session.channel, set) == 0)
        reportCameraFailure(session, kind, "write the rules");
    applySwitchSetting(kind, session, lookup);
}

}  // namespace nx::vms_server_plugins::analytics::sample
