#include "engine_manifest.h"

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

// From the event group name through the stream filter, the four rule sections and the first
// top-level items, up to the name of the generate-events check box.
constexpr char kGroupNameToGenerateEvents[] = R"json("
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
				"sections": [
					{
						"type": "Section",
						"name": "LineCrossedSections",
						"caption": "Cross Line ",
						"items": [
							{
								"type": "GroupBox",
								"caption": "Cross Line Rules",
								"items": [
									{
										"type": "CheckBox",
										"name": "CrossLineEnable",
										"caption": "Enable Cross Line",
										"defaultValue": false
									},
									{
										"type": "Repeater",
										"count": 4,
										"startIndex": 1,
										"template": {
											"type": "GroupBox",
											"caption": "Rule #",
											"filledCheckItems": ["LineCrossed.IncludeArea#.Enable"],
											"items": [
												{
													"type": "CheckBox",
													"name": "LineCrossed.IncludeArea#.Enable",
													"caption": "Enable Rules #",
													"defaultValue": false
												},
												{
													"type": "LineFigure",
													"name": "LineCrossed.IncludeArea#.Points",
													"caption": "Name",
													"minPoints": 2,
													"maxPoints": 2,
													"allowedDirections": "any"
												},
												{
													"type": "ComboBox",
													"name": "LineCrossed.IncludeArea#.Priority",
													"caption": "Priority",
													"description": "Priority of the rule",
													"defaultValue": "high",
													"range": ["high", "mid", "low"],
													"isActive": true,
													"itemCaptions": {
														"high": "high",
														"mid": "mid",
														"low": "low"
													}
												},
												{
													"type": "SpinBox",
													"name": "LineCrossed.IncludeArea#.Sensitivity",
													"caption": "Sensitivity",
													"description": "1 - 100",
													"defaultValue": 50,
													"minValue": 1,
													"maxValue": 100
												},
												{
													"type": "CheckBox",
													"name": "LineCrossed.IncludeArea#.Vehicle",
													"description": "Detection object of Motor Vehicle",
													"caption": "Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "LineCrossed.IncludeArea#.Non-motor-vehicle",
													"description": "Detection object of Non-Motor Vehicle",
													"caption": "Non-Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "LineCrossed.IncludeArea#.Person",
													"description": "Detection object of Pedestrian",
													"caption": "Pedestrian",
													"defaultValue": true
												}
											]
										}
									}
								]
							}
						]
					},
					{
						"type": "Section",
						"caption": "Intrusion",
						"items": [
							{
								"type": "GroupBox",
								"caption": "Intrusion Rules",
								"items": [
									{
										"type": "CheckBox",
										"name": "IntrusionEnable",
										"caption": "Enable Intrusion",
										"defaultValue": false
									},
									{
										"type": "Repeater",
										"count": 4,
										"startIndex": 1,
										"template": {
											"type": "GroupBox",
											"caption": "Rule #",
											"filledCheckItems": ["Intrusion.IncludeArea#.Figure"],
											"items": [
												{
													"type": "CheckBox",
													"name": "Intrusion.IncludeArea#.Enable",
													"caption": "Enable Rules #",
													"defaultValue": false
												},
												{
													"type": "PolygonFigure",
													"name": "Intrusion.IncludeArea#.Figure",
													"caption": "Name",
													"minPoints": 3,
													"maxPoints": 6
												},
												{
													"type": "SpinBox",
													"name": "Intrusion.IncludeArea#.TimeThreshold",
													"caption": "Time Threshold(s)",
													"description": "1 - 10",
													"defaultValue": 1,
													"minValue": 1,
													"maxValue": 10
												},
												{
													"type": "SpinBox",
													"name": "Intrusion.IncludeArea#.Sensitivity",
													"caption": "Sensitivity",
													"description": "1 - 100",
													"defaultValue": 50,
													"minValue": 1,
													"maxValue": 100
												},
												{
													"type": "ComboBox",
													"name": "Intrusion.IncludeArea#.Priority",
													"caption": "Priority",
													"description": "Priority of the rule",
													"defaultValue": "high",
													"range": ["high", "mid", "low"],
													"isActive": true,
													"itemCaptions": {
														"high": "high",
														"mid": "mid",
														"low": "low"
													}
												},
												{
													"type": "CheckBox",
													"name": "Intrusion.IncludeArea#.Vehicle",
													"description": "Detection object of Motor Vehicle",
													"caption": "Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "Intrusion.IncludeArea#.Non-motor-vehicle",
													"description": "Detection object of Non-Motor Vehicle",
													"caption": "Non-Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "Intrusion.IncludeArea#.Person",
													"description": "Detection object of Pedestrian",
													"caption": "Pedestrian",
													"defaultValue": true
												}
											]
										}
									}
								]
							}
						]
					},
					{
						"type": "Section",
						"caption": "Enter Area",
						"items": [
							{
								"type": "GroupBox",
								"caption": "Enter Area Rules",
								"items": [
									{
										"type": "CheckBox",
										"name": "EnterAreaEnable",
										"caption": "Enable Enter Area",
										"defaultValue": false
									},
									{
										"type": "Repeater",
										"count": 4,
										"startIndex": 1,
										"template": {
											"type": "GroupBox",
											"caption": "Rule #",
											"filledCheckItems": ["EnterArea.IncludeArea#.Figure"],
											"items": [
												{
													"type": "CheckBox",
													"name": "EnterArea.IncludeArea#.Enable",
													"caption": "Enable Rules #",
													"defaultValue": false
												},
												{
													"type": "PolygonFigure",
													"name": "EnterArea.IncludeArea#.Figure",
													"caption": "Name",
													"minPoints": 3,
													"maxPoints": 6
												},
												{
													"type": "SpinBox",
													"name": "EnterArea.IncludeArea#.Sensitivity",
													"caption": "Sensitivity",
													"description": "1 - 100",
													"defaultValue": 50,
													"minValue": 1,
													"maxValue": 100
												},
												{
													"type": "ComboBox",
													"name": "EnterArea.IncludeArea#.Priority",
													"caption": "Priority",
													"description": "Priority of the rule",
													"defaultValue": "high",
													"range": ["high", "mid", "low"],
													"isActive": true,
													"itemCaptions": {
														"high": "high",
														"mid": "mid",
														"low": "low"
													}
												},
												{
													"type": "CheckBox",
													"name": "EnterArea.IncludeArea#.Vehicle",
													"description": "Detection object of Motor Vehicle",
													"caption": "Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "EnterArea.IncludeArea#.Non-motor-vehicle",
													"description": "Detection object of Non-Motor Vehicle",
													"caption": "Non-Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "EnterArea.IncludeArea#.Person",
													"description": "Detection object of Pedestrian",
													"caption": "Pedestrian",
													"defaultValue": true
												}
											]
										}
									}
								]
							}
						]
					},
					{
						"type": "Section",
						"caption": "Leave Area",
						"items": [
							{
								"type": "GroupBox",
								"caption": "Leave Area Rules",
								"items": [
									{
										"type": "CheckBox",
										"name": "LeaveAreaEnable",
										"caption": "Enable Leave Area",
										"defaultValue": false
									},
									{
										"type": "Repeater",
										"count": 4,
										"startIndex": 1,
										"template": {
											"type": "GroupBox",
											"caption": "Rule #",
											"filledCheckItems": ["LeaveArea.IncludeArea#.Figure"],
											"items": [
												{
													"type": "CheckBox",
													"name": "LeaveArea.IncludeArea#.Enable",
													"caption": "Enable Rules #",
													"defaultValue": false
												},
												{
													"type": "PolygonFigure",
													"name": "LeaveArea.IncludeArea#.Figure",
													"caption": "Name",
													"minPoints": 3,
													"maxPoints": 6
												},
												{
													"type": "SpinBox",
													"name": "LeaveArea.IncludeArea#.Sensitivity",
													"caption": "Sensitivity",
													"description": "1 - 100",
													"defaultValue": 50,
													"minValue": 1,
													"maxValue": 100
												},
												{
													"type": "ComboBox",
													"name": "LeaveArea.IncludeArea#.Priority",
													"caption": "Priority",
													"description": "Priority of the rule",
													"defaultValue": "high",
													"range": ["high", "mid", "low"],
													"isActive": true,
													"itemCaptions": {
														"high": "high",
														"mid": "mid",
														"low": "low"
													}
												},
												{
													"type": "CheckBox",
													"name": "LeaveArea.IncludeArea#.Vehicle",
													"description": "Detection object of Motor Vehicle",
													"caption": "Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "LeaveArea.IncludeArea#.Non-motor-vehicle",
													"description": "Detection object of Non-Motor Vehicle",
													"caption": "Non-Motor Vehicle",
													"defaultValue": true
												},
												{
													"type": "CheckBox",
													"name": "LeaveArea.IncludeArea#.Person",
													"description": "Detection object of Pedestrian",
													"caption": "Pedestrian",
													"defaultValue": true
												}
											]
										}
									}
								]
							}
						]
					}
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

std::string buildEngineManifest()
{
    std::string text = kHead;
    text += kEventGroupId;
    text += kGroupIdToName;
    text += kEventGroupName;
    text += kGroupNameToGenerateEvents;
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
