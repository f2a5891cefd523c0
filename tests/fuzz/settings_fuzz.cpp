// Fuzzes the settings hook with arbitrary string maps: keys drawn from the keys the agent
// knows (rule keys included) or made up, values arbitrary, laid over a complete settings
// page. Every delivery is accepted, pushes the manifest once, never throws, and leaves
// nothing alive; after it the agent still turns a detection into an object packet.
//
// Each input gets an agent of its own: the agent keeps every key it was ever sent, so a
// shared one would grow with the run and make each input depend on the ones before it.
// The agent's first delivery (which never writes rules) is an empty one; the fuzzed page
// is its second, which writes all four rule kinds.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <nx/kit/debug.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

#include "plugin/rules/rule_kind.h"
#include "tests/fuzz/fuzz_agent.h"

using namespace korvane::fuzz;

namespace
{

const char* const kKeys[] = {
    "generateEvents",
    "sendAttributes",
    "timestampShiftMs",
    "Face",
    "Person",
    "Vehicle",
    "LicensePlate",
    "CrossLineEnable",
    "IntrusionEnable",
    "EnterAreaEnable",
    "LeaveAreaEnable",
    "LineCrossed.IncludeArea1.Enable",
    "LineCrossed.IncludeArea1.Points",
    "LineCrossed.IncludeArea2.Sensitivity",
    "LineCrossed.IncludeArea3.Priority",
    "LineCrossed.IncludeArea4.Person",
    "Intrusion.IncludeArea1.Figure",
    "Intrusion.IncludeArea2.TimeThreshold",
    "Intrusion.IncludeArea3.Sensitivity",
    "EnterArea.IncludeArea1.Figure",
    "EnterArea.IncludeArea4.Vehicle",
    "LeaveArea.IncludeArea2.Figure",
    "LeaveArea.IncludeArea3.Non-motor-vehicle",
};

// A complete settings page: every key the agent reads is there, so that every rule writer
// gets as far as the fuzzed values let it and no input pays for "missing" lines; the
// fuzzed entries replace some of these.
const std::map<std::string, std::string>& baseline()
{
    static const std::map<std::string, std::string> kBaseline = []()
    {
        std::map<std::string, std::string> settings = {
            {"generateEvents", "true"}, {"sendAttributes", "true"}, {"Face", "true"},
            {"Person", "true"},         {"Vehicle", "true"},        {"LicensePlate", "true"}};
        using namespace nx::vms_server_plugins::analytics::sample;
        for (const RuleKind kind : kRuleTypeOrder)
        {
            const RuleKindInfo& info = ruleKindInfo(kind);
            const bool line = info.section.figureType == RuleFigureType::kLine;
            RuleSettingKeys keys(kind);
            for (int n = 1; n <= 4; ++n)
            {
                keys.selectRule(n);
                settings[keys.key(kEnableSuffix)] = "true";
                settings[keys.key(kSensitivitySuffix)] = "50";
                if (info.hasTimeThreshold)
                    settings[keys.key(kTimeThresholdSuffix)] = "2";
                settings[keys.key(kPrioritySuffix)] = "low";
                settings[keys.key(kVehicleSuffix)] = "true";
                settings[keys.key(kNonMotorVehicleSuffix)] = "false";
                settings[keys.key(kPersonSuffix)] = "true";
                settings[keys.key(info.figureSuffix)] =
                    line ? R"({"figure": {"points": [[0.1, 0.2], [0.8, 0.9]]}})"
                         : R"({"figure": {"points": [[0.1, 0.1], [0.9, 0.1], [0.5, 0.9]]}})";
            }
            settings[info.switchKey] = "true";
        }
        return settings;
    }();
    return kBaseline;
}

// The settings page as the host hands it over: the baseline with the fuzzed entries laid
// over it, read in place rather than copied, as most of it is the same for every input.
class PageMap final : public nx::sdk::RefCountable<nx::sdk::IStringMap>
{
public:
    PageMap(const std::map<std::string, std::string>& base,
            const std::map<std::string, std::string>& overrides)
    {
        m_entries.reserve(base.size() + overrides.size());
        auto b = base.begin();
        auto o = overrides.begin();
        while (b != base.end() || o != overrides.end())
        {
            const bool takeOverride =
                b == base.end() || (o != overrides.end() && o->first <= b->first);
            if (takeOverride && b != base.end() && o->first == b->first)
                ++b;  //< The fuzzed value replaces the baseline's.
            const auto& entry = takeOverride ? *o++ : *b++;
            m_entries.emplace_back(&entry.first, &entry.second);
        }
    }

    int count() const override { return static_cast<int>(m_entries.size()); }

    const char* key(int i) const override
    {
        return inRange(i) ? m_entries[static_cast<size_t>(i)].first->c_str() : nullptr;
    }

    const char* value(const char* key) const override
    {
        for (const auto& [k, v] : m_entries)  //< The agent reads the page by index only.
        {
            if (key && *k == key)
                return v->c_str();
        }
        return nullptr;
    }

    const char* valueAt(int i) const override
    {
        return inRange(i) ? m_entries[static_cast<size_t>(i)].second->c_str() : nullptr;
    }

private:
    bool inRange(int i) const { return i >= 0 && i < count(); }

    std::vector<std::pair<const std::string*, const std::string*>> m_entries;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    prepareFuzzCamera();  //< Before any tally is taken.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InputReader input(data, size);
    std::map<std::string, std::string> fuzzed;
    while (!input.empty() && fuzzed.size() < 64)
    {
        const uint8_t pick = input.take<uint8_t>();
        const std::string key =
            pick < 2 * std::size(kKeys) ? kKeys[pick % std::size(kKeys)] : input.takeText(40);
        fuzzed[key] = input.takeText(200);
    }
    // The agent prints the page it receives, but diagnostics are off here, so the quoting
    // that printing uses is fuzzed directly, on the fuzzed entries.
    for (const auto& [key, value] : fuzzed)
        require(!nx::kit::debug::toDiagnosticText(key + value).empty());

    int liveBefore = 0;
    {
        const FuzzAgent agent = newFuzzAgent();
        liveBefore = agent.liveObjects;
        sendSettings(agent, {});
        agent.handler->takeManifests();
        sendSettingsMap(agent, nx::sdk::makePtr<PageMap>(baseline(), fuzzed).get());
        require(agent.handler->takeManifests().size() == 1);

        ostrel::control::StructuredBatch batch;
        batch.faces.resize(1);
        ostrel::control::deliverStructuredNow(agent.camera, batch);
        pushFrame(agent, 1);
        require(agent.handler->takeRecords().size() == 1);
    }
    requireLiveObjects(liveBefore);
    return 0;
}
