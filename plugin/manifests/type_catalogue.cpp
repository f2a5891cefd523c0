#include "type_catalogue.h"

#include <cstring>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

constexpr EventTypeDescriptor kEventTypes[kEventTypeCount] = {
    {kMotionEventType, "Motion", true},
    {kTamperingEventType, "Tampering", true},
    {kAudioDetectionEventType, "Audio Detection", true},
    {kLineCrossedEventType, "Line Crossed", false},
    {kIntrusionDetectionEventType, "IntrusionDetection", false},
    {kObjectRecognizedEventType, "Object Recognized", false},
    {kGlobalSceneChangeEventType, "Global Scene Change", false},
    {kImageIsBlurryEventType, "Image Is Blurry", true},
    {kInputAlarmEventType, "Input Alarm", true},
    {kAreaEnteredEventType, "Area Entered", false},
    {kAreaLeftEventType, "Area Left", false},
    {kObjectRemovedEventType, "Object Removed", false},
    {kObjectLeftBehindEventType, "Object Left Behind", false},
    {kPeopleGatheringEventType, "People Gathering", false},
    {kFastMovingEventType, "Fast Moving", false},
    {kCrowdDensityMinorEventType, "CrowdDensity: Minor", true},
    {kCrowdDensityMajorEventType, "CrowdDensity: Major", true},
    {kCrowdDensityCriticalEventType, "CrowdDensity: Critical", true},
    {kObjectTrackedEventType, "Object Tracked", false},
    {kFenceCrossedEventType, "Fence Crossed", false},
    {kParkingEventType, "Parking", false},
    {kConflagrationDetectionEventType, "Conflagration detection", false},
    {kSmokingEventType, "Smoking", false},
    {kFumeEventType, "Fume", false},
    {kTemperatureEventType, "Temperature", false},
    {kHeatMapEventType, "HeatMap", false},
};

constexpr const char* kObjectTypes[kObjectTypeCount] = {kVehicleObjectType, kPersonObjectType,
                                                        kFaceObjectType, kLicensePlateObjectType};

}  // namespace

const EventTypeDescriptor (&eventTypeDescriptors())[kEventTypeCount]
{
    return kEventTypes;
}

const EventTypeDescriptor* findEventType(const char* id)
{
    if (id == nullptr)
        return nullptr;
    for (const EventTypeDescriptor& type : kEventTypes)
    {
        if (std::strcmp(type.id, id) == 0)
            return &type;
    }
    return nullptr;
}

const char* const (&objectTypeIds())[kObjectTypeCount]
{
    return kObjectTypes;
}

}  // namespace nx::vms_server_plugins::analytics::sample
