// Type catalogue: the event group, the event and object type ids and the setting keys that
// the manifests, the metadata and the settings application share.
//
// Every id is used verbatim and compared byte for byte. The constants are constexpr character
// arrays: they are constant-initialised, so any source unit may read them at any time, also
// during its own static initialisation and destruction, from any thread.

#pragma once

#include <cstddef>

namespace nx::vms_server_plugins::analytics::sample
{

// The one event group of the type library, listed under its id and its name.
inline constexpr char kEventGroupId[] = "Korvane";
inline constexpr char kEventGroupName[] = "Korvane";

// Device-agent setting keys.
inline constexpr char kGenerateEventsSetting[] = "generateEvents";
inline constexpr char kSendAttributesSetting[] = "sendAttributes";
inline constexpr char kTimestampShiftMsSetting[] = "timestampShiftMs";

// Event type ids.
inline constexpr char kMotionEventType[] = "Motion";
inline constexpr char kTamperingEventType[] = "Tampering";
inline constexpr char kAudioDetectionEventType[] = "AudioDetection";
inline constexpr char kLineCrossedEventType[] = "LineCrossed";
inline constexpr char kIntrusionDetectionEventType[] = "IntrusionDetection";
inline constexpr char kObjectRecognizedEventType[] = "ObjectRecognized";
inline constexpr char kGlobalSceneChangeEventType[] = "GlobalSceneChange";
inline constexpr char kImageIsBlurryEventType[] = "ImageIsBlurry";
inline constexpr char kInputAlarmEventType[] = "InputAlarm";
inline constexpr char kAreaEnteredEventType[] = "AreaEntered";
inline constexpr char kAreaLeftEventType[] = "AreaLeft";
inline constexpr char kObjectRemovedEventType[] = "ObjectRemoved";
inline constexpr char kObjectLeftBehindEventType[] = "ObjectLeftBehind";
inline constexpr char kPeopleGatheringEventType[] = "PeopleGathering";
inline constexpr char kFastMovingEventType[] = "FastMoving";
inline constexpr char kCrowdDensityMinorEventType[] = "CrowdDensityMinor";
inline constexpr char kCrowdDensityMajorEventType[] = "CrowdDensityMajor";
inline constexpr char kCrowdDensityCriticalEventType[] = "CrowdDensityCritical";
inline constexpr char kObjectTrackedEventType[] = "ObjectTracked";
inline constexpr char kFenceCrossedEventType[] = "FenceCrossed";
inline constexpr char kParkingEventType[] = "Parking";
inline constexpr char kConflagrationDetectionEventType[] = "Conflagrationdetection";
inline constexpr char kSmokingEventType[] = "Smoking";
inline constexpr char kFumeEventType[] = "Fume";
inline constexpr char kTemperatureEventType[] = "Temperature";
inline constexpr char kHeatMapEventType[] = "HeatMap";

// Object type ids; each also names the setting that switches its object type on or off.
inline constexpr char kVehicleObjectType[] = "Vehicle";
inline constexpr char kPersonObjectType[] = "Person";
inline constexpr char kFaceObjectType[] = "Face";
inline constexpr char kLicensePlateObjectType[] = "LicensePlate";

// One event type as the device-agent manifest declares it.
struct EventTypeDescriptor
{
    const char* id;
    const char* displayName;
    bool isStateDependent;
};

inline constexpr std::size_t kEventTypeCount = 26;
inline constexpr std::size_t kObjectTypeCount = 4;

// All event types, in declaration order (the order of the manifest's supported types).
const EventTypeDescriptor (&eventTypeDescriptors())[kEventTypeCount];

// The descriptor of the event type with this id; null for an id not in the catalogue.
const EventTypeDescriptor* findEventType(const char* id);

// All object type ids, in declaration order ("Vehicle", "Person", "Face", "LicensePlate").
const char* const (&objectTypeIds())[kObjectTypeCount];

}  // namespace nx::vms_server_plugins::analytics::sample
