#include "alarm_table.h"

#include "plugin/manifests/type_catalogue.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

constexpr bool kStart = false;
constexpr bool kEnd = true;

// Sorted by code.
constexpr AlarmRow kAlarmTable[] = {
    {1, kMotionEventType, "MoveDetect", "MoveDetect Start", kStart},
    {2, kMotionEventType, "MoveDetect", "MoveDetect Recover", kEnd},
    {5, kTamperingEventType, "Tampering", "Tampering Start", kStart},
    {6, kTamperingEventType, "Tampering", "Tampering Recover", kEnd},
    {7, kInputAlarmEventType, "InputAlarm", "InputAlarm Start", kStart},
    {8, kInputAlarmEventType, "InputAlarm", "InputAlarm Recover", kEnd},
    {12, kAudioDetectionEventType, "Audio Detection", "Audio Detection Start", kStart},
    {13, kAudioDetectionEventType, "Audio Detection", "Audio Detection Recover", kEnd},
    {368, kGlobalSceneChangeEventType, "Global Scene Change", "Global Scene Change", kStart},
    {920, kConflagrationDetectionEventType, "Conflagration detection", "Conflagration detection",
     kEnd},
    {1003, kLineCrossedEventType, "LineCrossed", "LineCrossed", kStart},
    {1004, kIntrusionDetectionEventType, "IntrusionDetection", "IntrusionDetection", kStart},
    {1005, kObjectRecognizedEventType, "ObjectRecognized", "ObjectRecognized", kStart},
    {1006, kImageIsBlurryEventType, "Image Is Blurry", "Image Is Blurry", kStart},
    {1008, kObjectTrackedEventType, "ObjectTracked", "ObjectTracked", kStart},
    {1013, kObjectLeftBehindEventType, "Object Left Behind", "Object Left Behind", kStart},
    {1014, kPeopleGatheringEventType, "People Gathering", "People Gathering", kStart},
    {1015, kAreaEnteredEventType, "Area Entered", "Area Entered", kStart},
    {1016, kAreaLeftEventType, "Area Left", "Area Left", kStart},
    {1017, kObjectRemovedEventType, "Object Removed", "Object Removed", kStart},
    {1425, kFastMovingEventType, "FastMoving", "FastMoving", kStart},
    {1428, kSmokingEventType, "Smoking", "Smoking", kEnd},
    {1429, kCrowdDensityMinorEventType, "CrowdDensity", "CrowdDensity: Minor Start", kStart},
    {1430, kCrowdDensityMinorEventType, "CrowdDensity", "CrowdDensity: Minor Cleared", kEnd},
    {1431, kCrowdDensityMajorEventType, "CrowdDensity", "CrowdDensity: Major Start", kStart},
    {1432, kCrowdDensityMajorEventType, "CrowdDensity", "CrowdDensity: Major Cleared", kEnd},
    {1433, kCrowdDensityCriticalEventType, "CrowdDensity", "CrowdDensity: Critical Start", kStart},
    {1434, kCrowdDensityCriticalEventType, "CrowdDensity", "CrowdDensity: Critical Cleared", kEnd},
    {1441, kFumeEventType, "Fume", "Fume", kEnd},
    {1442, kTemperatureEventType, "Temperature", "Temperature", kEnd},
    {1461, kFenceCrossedEventType, "FenceCrossed", "FenceCrossed", kStart},
    {1462, kParkingEventType, "Parking", "Parking", kStart},
    {1463, kHeatMapEventType, "HeatMap", "HeatMap", kStart},
};

}  // namespace

const AlarmRow* findAlarmRow(int32_t code)
{
    for (const AlarmRow& row : kAlarmTable)
    {
        if (row.code == code)
            return &row;
    }
    return nullptr;
}

}  // namespace nx::vms_server_plugins::analytics::sample
