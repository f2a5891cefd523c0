#include "engine_manifest.h"

#include <cstddef>
#include <string>
#include <utility>

#include "camera_sdk/ostrel_sdk.h"
#include "plugin/rules/rule_kind.h"
#include "type_catalogue.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// From the opening brace to the value of the event group id.
constexpr char kHead[] = R"json({
	"typeLibrary": {
		"groups": [
			{
				"id": ")json";

// Between the event group id and the event group name.
constexpr char kGroupIdToName[] = R"json(",
				"name": ")json";

// From the event group name through the stream filter and the start of the settings model,
// up to the four rule sections.
constexpr char kGroupNameToRuleSections[] = R"json("
			}
		]
	},
	"streamTypeFilter": "compressedVideo",
	"deviceAgentSettingsModel": {
		"type": "Settings",
		"sections": [
			{
				"type": "Section",
				"caption": "ROI",
				"sections": [)json";

// From the end of the rule sections through the first top-level items, up to the name of
// the generate-events check box.
constexpr char kRuleSectionsToGenerateEvents[] = R"json(
				]
			}
		],
		"items": [
			{
				"type": "Banner",
				"icon": "info",
				"text": "Event setting"
			},
			{
				"type": "CheckBox",
				"name": ")json";

// From the generate-events key through the attribute banner, up to the name of the
// send-attributes check box.
constexpr char kGenerateEventsToSendAttributes[] = R"json(",
				"caption": "Generate events",
				"defaultValue": true
			},
			{
				"type": "Banner",
				"icon": "info",
				"text": "Object analytics setting"
			},
			{
				"type": "CheckBox",
				"name": ")json";

// From the send-attributes key to the end: the object type check boxes and the separator.
constexpr char kSendAttributesToEnd[] = R"json(",
				"caption": "Send object attributes",
				"defaultValue": true
			},
			{
				"type": "CheckBox",
				"name": "Face",
				"caption": "Face",
				"defaultValue": true
			},
			{
				"type": "CheckBox",
				"name": "Person",
				"caption": "Person",
				"defaultValue": true
			},
			{
				"type": "CheckBox",
				"name": "Vehicle",
				"caption": "Vehicle",
				"defaultValue": true
			},
			{
				"type": "CheckBox",
				"name": "LicensePlate",
				"caption": "LicensePlate",
				"defaultValue": true
			},
			{
				"type": "Separator"
			}
		]
	}
}
)json";

// Appends JSON in the manifest's layout: each member and element on a line of its own,
// indented by one tab per level, with a comma at its end when another follows it. Arrays of
// plain values are written whole, on one line, by the caller.
class TabbedJsonWriter
{
public:
    // Writes into `text` the elements of an array whose elements stand at `depth` tabs.
    TabbedJsonWriter(std::string* text, int depth) : m_text(text), m_depth(depth) {}

    // Opens an object: the next element of an array when `key` is null, else a member.
    void openObject(const char* key = nullptr) { open(key, '{'); }
    void openArray(const char* key) { open(key, '['); }
    void closeObject() { close('}'); }
    void closeArray() { close(']'); }

    // A member whose value is a string without characters to escape.
    void text(const char* key, const std::string& value) { raw(key, "\"" + value + "\""); }

    // A member whose value is JSON text as it is.
    void raw(const char* key, const std::string& json)
    {
        startEntry(key);
        *m_text += json;
    }

private:
    void open(const char* key, char bracket)
    {
        startEntry(key);
        *m_text += bracket;
        ++m_depth;
        m_first = true;
    }

    void close(char bracket)
    {
        --m_depth;
        *m_text += '\n';
        m_text->append(static_cast<std::size_t>(m_depth), '\t');
        *m_text += bracket;
        m_first = false;
    }

    void startEntry(const char* key)
    {
        if (!m_first)
            *m_text += ',';
        *m_text += '\n';
        m_text->append(static_cast<std::size_t>(m_depth), '\t');
        if (key)
            *m_text += std::string("\"") + key + "\": ";
        m_first = false;
    }

    std::string* m_text;
    int m_depth;
    bool m_first = true;  //< Nothing written yet in the innermost open container.
};

// The setting name of a rule slot in a repeater's template: "#" stands for the rule number.
std::string slotName(const RuleKindInfo& info, const char* suffix)
{
    return std::string(info.settingPrefix) + "#" + suffix;
}

void writeCheckBox(TabbedJsonWriter* out, const std::string& name, const std::string& caption,
                   bool defaultValue)
{
    out->openObject();
    out->text("type", "CheckBox");
    out->text("name", name);
    out->text("caption", caption);
    out->raw("defaultValue", defaultValue ? "true" : "false");
    out->closeObject();
}

void writeSpinBox(TabbedJsonWriter* out, const std::string& name, const char* caption,
                  int defaultValue, int minValue, int maxValue)
{
    out->openObject();
    out->text("type", "SpinBox");
    out->text("name", name);
    out->text("caption", caption);
    out->text("description", std::to_string(minValue) + " - " + std::to_string(maxValue));
    out->raw("defaultValue", std::to_string(defaultValue));
    out->raw("minValue", std::to_string(minValue));
    out->raw("maxValue", std::to_string(maxValue));
    out->closeObject();
}

void writePriorityBox(TabbedJsonWriter* out, const RuleKindInfo& info)
{
    out->openObject();
    out->text("type", "ComboBox");
    out->text("name", slotName(info, kPrioritySuffix));
    out->text("caption", "Priority");
    out->text("description", "Priority of the rule");
    out->text("defaultValue", "high");
    out->raw("range", R"(["high", "mid", "low"])");
    out->raw("isActive", "true");
    out->openObject("itemCaptions");
    for (const char* priority : {"high", "mid", "low"})
        out->text(priority, priority);
    out->closeObject();
    out->closeObject();
}

void writeFigure(TabbedJsonWriter* out, const RuleKindInfo& info)
{
    const bool line = info.section.figureType == RuleFigureType::kLine;
    out->openObject();
    out->text("type", line ? "LineFigure" : "PolygonFigure");
    out->text("name", slotName(info, info.figureSuffix));
    out->text("caption", "Name");
    // A line has its two ends; an area at least three corners and at most what a rule holds.
    out->raw("minPoints", line ? "2" : "3");
    out->raw("maxPoints", line ? "2" : std::to_string(kOstrelAreaPointCapacity));
    if (line)
        out->text("allowedDirections", "any");
    out->closeObject();
}

// The object classes a rule detects, each a check box that is on by default.
void writeObjectClassBoxes(TabbedJsonWriter* out, const RuleKindInfo& info)
{
    static const std::pair<const char*, const char*> kClasses[] = {
        {kVehicleSuffix, "Motor Vehicle"},
        {kNonMotorVehicleSuffix, "Non-Motor Vehicle"},
        {kPersonSuffix, "Pedestrian"},
    };
    for (const auto& [suffix, caption] : kClasses)
    {
        out->openObject();
        out->text("type", "CheckBox");
        out->text("name", slotName(info, suffix));
        out->text("description", std::string("Detection object of ") + caption);
        out->text("caption", caption);
        out->raw("defaultValue", "true");
        out->closeObject();
    }
}

// The template of one rule slot: its enable box, figure, numbers, priority and object classes.
void writeSlotTemplate(TabbedJsonWriter* out, const RuleKindInfo& info)
{
    out->openObject("template");
    out->text("type", "GroupBox");
    out->text("caption", "Rule #");
    out->raw("filledCheckItems", "[\"" + slotName(info, info.section.filledCheckSuffix) + "\"]");
    out->openArray("items");
    writeCheckBox(out, slotName(info, kEnableSuffix), "Enable Rules #", false);
    writeFigure(out, info);
    if (info.hasTimeThreshold)
        writeSpinBox(out, slotName(info, kTimeThresholdSuffix), "Time Threshold(s)", 1, 1, 10);
    if (info.section.priorityFirst)
        writePriorityBox(out, info);
    writeSpinBox(out, slotName(info, kSensitivitySuffix), "Sensitivity", 50, 1, 100);
    if (!info.section.priorityFirst)
        writePriorityBox(out, info);
    writeObjectClassBoxes(out, info);
    out->closeArray();
    out->closeObject();
}

// The section of one rule kind: a group box with the kind's switch and a repeater of its
// rule slots, numbered from 1.
void writeRuleSection(TabbedJsonWriter* out, const RuleKindInfo& info)
{
    const std::string title = info.section.title;
    out->openObject();
    out->text("type", "Section");
    if (info.section.name)
        out->text("name", info.section.name);
    out->text("caption", info.section.caption);
    out->openArray("items");
    out->openObject();
    out->text("type", "GroupBox");
    out->text("caption", title + " Rules");
    out->openArray("items");
    writeCheckBox(out, info.switchKey, "Enable " + title, false);
    out->openObject();
    out->text("type", "Repeater");
    out->raw("count", std::to_string(kOstrelRuleSlots));
    out->raw("startIndex", "1");
    writeSlotTemplate(out, info);
    out->closeObject();
    out->closeArray();
    out->closeObject();
    out->closeArray();
    out->closeObject();
}

// The four rule sections, in the order of the kinds' type codes, as the elements of the
// "ROI" section's "sections" array, which stand five tabs deep.
void appendRuleSections(std::string* text)
{
    TabbedJsonWriter out(text, /*depth*/ 5);
    for (const RuleKind kind : kRuleTypeOrder)
        writeRuleSection(&out, ruleKindInfo(kind));
}

std::string buildEngineManifest()
{
    std::string text = kHead;
    text += kEventGroupId;
    text += kGroupIdToName;
    text += kEventGroupName;
    text += kGroupNameToRuleSections;
    appendRuleSections(&text);
    text += kRuleSectionsToGenerateEvents;
    text += kGenerateEventsSetting;
    text += kGenerateEventsToSendAttributes;
    text += kSendAttributesSetting;
    text += kSendAttributesToEnd;
    return text;
}

}  // namespace

const std::string& engineManifest()
{
    static const std::string kManifest = buildEngineManifest();
    return kManifest;
}

}  // namespace nx::vms_server_plugins::analytics::sample
