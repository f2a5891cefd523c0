// The four smart-rule kinds, what names them in settings and how the settings page shows
// them, plus the camera session a rule read or write runs over.
//
// Thread-safety: the tables are immutable; every function may be called from any thread.

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "camera_sdk/ostrel_sdk.h"

namespace nx::vms_server_plugins::analytics::sample
{

class RuleFailures;

// A smart-rule kind; the value is the camera's rule-type code.
enum class RuleKind : int32_t
{
    kLineCross = kOstrelRuleTypeLineCross,
    kIntrusion = kOstrelRuleTypeIntrusion,
    kEnterArea = kOstrelRuleTypeEnterArea,
    kLeaveArea = kOstrelRuleTypeLeaveArea,
};

// Suffixes of the settings of one rule slot.
constexpr const char* kEnableSuffix = ".Enable";
constexpr const char* kSensitivitySuffix = ".Sensitivity";
constexpr const char* kTimeThresholdSuffix = ".TimeThreshold";
constexpr const char* kPrioritySuffix = ".Priority";
constexpr const char* kVehicleSuffix = ".Vehicle";
constexpr const char* kNonMotorVehicleSuffix = ".Non-motor-vehicle";
constexpr const char* kPersonSuffix = ".Person";
constexpr const char* kPointsSuffix = ".Points";  //< The figure of a line rule.
constexpr const char* kFigureSuffix = ".Figure";  //< The figure of an area rule.

// The figure item a rule slot has on the settings page.
enum class RuleFigureType
{
    kLine,     //< A "LineFigure" of two points, crossed in any direction.
    kPolygon,  //< A "PolygonFigure" of three to six corners.
};

// How the settings page shows the rules of one kind: a section holding a group box with the
// kind's switch and a repeater of its rule slots.
struct RuleSectionInfo
{
    const char* name;               // "LineCrossedSections"; nullptr for a section without one
    const char* caption;            // e.g. "Cross Line ", with the trailing blank it shows
    const char* title;              // e.g. "Cross Line", as in "Cross Line Rules"
    const char* filledCheckSuffix;  // the slot setting that marks the slot as filled in
    RuleFigureType figureType;
    bool priorityFirst;  // the slot lists its priority before its sensitivity
};

// The fixed names of one rule kind.
struct RuleKindInfo
{
    RuleKind kind;
    const char* name;                // e.g. "line-crossing", as diagnostic lines name it
    const char* settingPrefix;       // e.g. "LineCrossed.IncludeArea"
    const char* figureSuffix;        // kPointsSuffix or kFigureSuffix
    const char* defaultLabelPrefix;  // e.g. "Cross Line-"
    const char* switchKey;           // e.g. "CrossLineEnable"
    bool hasTimeThreshold;           // the rules have a kTimeThresholdSuffix setting
    RuleSectionInfo section;
};

// The four kinds in the order the settings hook writes them: line crossing, enter area,
// leave area, intrusion.
inline constexpr RuleKind kRuleWriteOrder[4] = {RuleKind::kLineCross, RuleKind::kEnterArea,
                                                RuleKind::kLeaveArea, RuleKind::kIntrusion};

// The kinds in the order of their type codes (100 to 103).
inline constexpr RuleKind kRuleTypeOrder[4] = {RuleKind::kLineCross, RuleKind::kIntrusion,
                                               RuleKind::kEnterArea, RuleKind::kLeaveArea};

// The names of `kind`.
const RuleKindInfo& ruleKindInfo(RuleKind kind);

// The camera's rule-type code of `kind`.
inline int32_t ruleTypeCode(RuleKind kind)
{
    return static_cast<int32_t>(kind);
}

// The setting key of rule number `number` of `kind`: prefix, number in decimal, suffix.
std::string ruleSettingKey(RuleKind kind, int number, const char* suffix);

// The setting keys of the rules of one kind, built in one buffer that every call reuses,
// so that looking up a kind's settings allocates once rather than once per key.
class RuleSettingKeys
{
public:
    // Keys of rule number 1 of `kind`.
    explicit RuleSettingKeys(RuleKind kind);

    // Makes key() name the settings of rule number `number`.
    void selectRule(int number);

    // The key of the selected rule with `suffix`; valid until the next call.
    const std::string& key(const char* suffix);

    // The key of the selected rule with `suffix`, taking over the buffer.
    std::string takeKey(const char* suffix) &&;

private:
    std::string m_key;
    std::size_t m_prefixSize = 0;
    std::size_t m_stemSize = 0;
};

// The camera session of one device agent, as the rule readers and writers need it.
struct RuleSession
{
    void* handle = nullptr;
    int32_t channel = 0;
    uint32_t lineCrossCapability = 0;
    uint32_t intrusionCapability = 0;
    uint32_t enterAreaCapability = 0;
    uint32_t leaveAreaCapability = 0;
    std::string printPrefix;           //< Starts the lines printed for this session.
    std::string cameraAddress;         //< "host:port", as the lines name the camera.
    RuleFailures* failures = nullptr;  //< Collects failed camera calls while not null.
    // Whether a setting was received at all; null: every one was. A setting that was not
    // received is no value the user gave, so it is no failure to report.
    std::function<bool(const std::string& key)> received;
};

// The session's capability value of `kind`; 0 when the camera does not support it.
uint32_t ruleCapability(const RuleSession& session, RuleKind kind);

// Looks up one received setting by key; the empty text when it was never received.
using SettingLookup = std::function<std::string(const std::string& key)>;

}  // namespace nx::vms_server_plugins::analytics::sample
