#include "device_agent_manifest.h"

#include "type_catalogue.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// From the opening brace through the object-type entries of the supported types.
constexpr char kHead[] = R"json({
	"capabilities": "disableStreamSelection",
	"supportedTypes": [
		{
			"objectTypeId": "Vehicle",
			"attributes": [
				"Color", "Speed", "Brand", "Model", "Size", "License Plate",
				"License Plate.Number", "License Plate.Country", "License Plate.State/Province",
				"License Plate.Size", "License Plate.Color", "Driver buckled up", "Lane"
			]
		},
		{
			"objectTypeId": "Person",
			"attributes": [
				"Gender", "Race", "Age", "Height", "Activity", "Hat", "Hat.Color", "Hat.Type",
				"Scarf", "Scarf.Color", "Body Shape", "Top Clothing Color",
				"Top Clothing Length", "Top Clothing Grain", "Top Clothing Type",
				"Bottom Clothing Color", "Bottom Clothing Length", "Bottom Clothing Grain",
				"Bottom Clothing Type", "Gloves", "Gloves.Color", "Shoes", "Shoes.Color",
				"Shoes.Type", "Name", "Temperature", "Tattoo", "Bag", "Bag.Size", "Bag.Color",
				"Bag.Type", "Weapon", "Cigarette", "Cigarette.Type", "Mobile Phone",
				"Mobile Phone.Position", "Cart", "Cart.Type", "Bottle", "Umbrella",
				"Umbrella.Color", "Umbrella.Open", "Box", "Box.Color", "Box.Lug", "Mask",
				"Glasses", "Glasses.Type", "Helmet"
			]
		},
		{
			"objectTypeId": "Face",
			"attributes": [
				"Gender", "Race", "Age", "Shape", "Length", "Emotion", "Hat", "Hat.Color",
				"Hat.Type", "Hair Color", "Hair Type", "Eyelid", "Eyebrow Width",
				"Eyebrow Space", "Eyebrow Color", "Eyes", "Mouth", "Eyes Shape", "Eyes Color",
				"Nose Length", "Nose Bridge", "Nose Wing", "Nose End", "Facial Hair",
				"Facial Hair.Type", "Ear Type", "Lip Type", "Chin Type", "Freckles", "Tattoo",
				"Mole", "Scar", "Temperature", "Name", "Cigarette", "Cigarette.Type", "Mask",
				"Glasses", "Glasses.Type", "Helmet"
			]
		},
		{
			"objectTypeId": "LicensePlate",
			"attributes": ["Number", "Country", "State/Province", "Size", "Color"]
		})json";

// Around each event type id of the supported types.
constexpr char kSupportedEventOpen[] = R"json(,
		{ "eventTypeId": ")json";
constexpr char kSupportedEventClose[] = R"json(" })json";

// From the end of the supported types through the object types to the event types.
constexpr char kMiddle[] = R"json(
	],
	"objectTypes": [
		{ "id": "Vehicle", "name": "Vehicle" },
		{ "id": "Person", "name": "Person" },
		{ "id": "Face", "name": "Face" },
		{ "id": "LicensePlate", "name": "LicensePlate" }
	],
	"eventTypes": [)json";

// The pieces of one event type entry.
constexpr char kEventOpen[] = R"json(
		{
			"id": ")json";
constexpr char kEventName[] = R"json(",
			"name": ")json";
constexpr char kEventFlags[] = R"json(",
			"flags": "stateDependent)json";
constexpr char kEventGroup[] = R"json(",
			"groupId": ")json";
constexpr char kEventClose[] = R"json("
		})json";

constexpr char kTail[] = R"json(
	]
}
)json";

// The event types in the order the manifest's event type list declares them.
constexpr const char* kEventTypeOrder[kEventTypeCount] = {
    kMotionEventType,
    kTamperingEventType,
    kAudioDetectionEventType,
    kObjectRecognizedEventType,
    kGlobalSceneChangeEventType,
    kImageIsBlurryEventType,
    kInputAlarmEventType,
    kLineCrossedEventType,
    kAreaEnteredEventType,
    kAreaLeftEventType,
    kObjectRemovedEventType,
    kIntrusionDetectionEventType,
    kObjectLeftBehindEventType,
    kPeopleGatheringEventType,
    kFastMovingEventType,
    kObjectTrackedEventType,
    kFenceCrossedEventType,
    kParkingEventType,
    kHeatMapEventType,
    kConflagrationDetectionEventType,
    kSmokingEventType,
    kFumeEventType,
    kTemperatureEventType,
    kCrowdDensityCriticalEventType,
    kCrowdDensityMajorEventType,
    kCrowdDensityMinorEventType,
};

void appendEventTypeEntry(const EventTypeDescriptor& type, bool isFirst, std::string* text)
{
    if (!isFirst)
        *text += ',';
    *text += kEventOpen;
    *text += type.id;
    *text += kEventName;
    *text += type.displayName;
    if (type.isStateDependent)
        *text += kEventFlags;
    *text += kEventGroup;
    *text += kEventGroupId;
    *text += kEventClose;
}

std::string buildDeviceAgentManifest()
{
    std::string text = kHead;
    for (const EventTypeDescriptor& type : eventTypeDescriptors())
    {
        text += kSupportedEventOpen;
        text += type.id;
        text += kSupportedEventClose;
    }
    text += kMiddle;
    bool isFirst = true;
    for (const char* id : kEventTypeOrder)
    {
        // Every id of the order list is a catalogue id, so the lookup always succeeds.
        if (const EventTypeDescriptor* type = findEventType(id))
            appendEventTypeEntry(*type, isFirst, &text);
        isFirst = false;
    }
    text += kTail;
    return text;
}

}  // namespace

const std::string& deviceAgentManifest()
{
    static const std::string kManifest = buildDeviceAgentManifest();
    return kManifest;
}

}  // namespace nx::vms_server_plugins::analytics::sample
