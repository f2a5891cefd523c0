// The device agent manifest: supported types with their attributes, object types and event
// types, values and key order.

#include "plugin/manifests/device_agent_manifest.h"

#include "plugin/manifests/type_catalogue.h"

#include <nx/kit/json.h>

#include <gtest/gtest.h>

#include "plugin/manifest_test_support.h"

#include <string>
#include <vector>

namespace
{

using nx::kit::Json;
namespace sample = nx::vms_server_plugins::analytics::sample;
using sample::deviceAgentManifest;

// Read during this unit's static initialisation: must already hold the full text.
const std::string kManifestAtLoad = deviceAgentManifest();

using korvane::test::compact;
using korvane::test::q;

std::string stringArray(const std::vector<std::string>& values)
{
    std::string result = "[";
    for (const std::string& value : values)
        result += (result.size() > 1 ? "," : "") + q(value);
    return result + "]";
}

const std::vector<std::string> kVehicleAttributes = {"Color",
                                                     "Speed",
                                                     "Brand",
                                                     "Model",
                                                     "Size",
                                                     "License Plate",
                                                     "License Plate.Number",
                                                     "License Plate.Country",
                                                     "License Plate.State/Province",
                                                     "License Plate.Size",
                                                     "License Plate.Color",
                                                     "Driver buckled up",
                                                     "Lane"};

const std::vector<std::string> kPersonAttributes = {"Gender",
                                                    "Race",
                                                    "Age",
                                                    "Height",
                                                    "Activity",
                                                    "Hat",
                                                    "Hat.Color",
                                                    "Hat.Type",
                                                    "Scarf",
                                                    "Scarf.Color",
                                                    "Body Shape",
                                                    "Top Clothing Color",
                                                    "Top Clothing Length",
                                                    "Top Clothing Grain",
                                                    "Top Clothing Type",
                                                    "Bottom Clothing Color",
                                                    "Bottom Clothing Length",
                                                    "Bottom Clothing Grain",
                                                    "Bottom Clothing Type",
                                                    "Gloves",
                                                    "Gloves.Color",
                                                    "Shoes",
                                                    "Shoes.Color",
                                                    "Shoes.Type",
                                                    "Name",
                                                    "Temperature",
                                                    "Tattoo",
                                                    "Bag",
                                                    "Bag.Size",
                                                    "Bag.Color",
                                                    "Bag.Type",
                                                    "Weapon",
                                                    "Cigarette",
                                                    "Cigarette.Type",
                                                    "Mobile Phone",
                                                    "Mobile Phone.Position",
                                                    "Cart",
                                                    "Cart.Type",
                                                    "Bottle",
                                                    "Umbrella",
                                                    "Umbrella.Color",
                                                    "Umbrella.Open",
                                                    "Box",
                                                    "Box.Color",
                                                    "Box.Lug",
                                                    "Mask",
                                                    "Glasses",
                                                    "Glasses.Type",
                                                    "Helmet"};

const std::vector<std::string> kFaceAttributes = {
    "Gender",         "Race",      "Age",           "Shape",         "Length",
    "Emotion",        "Hat",       "Hat.Color",     "Hat.Type",      "Hair Color",
    "Hair Type",      "Eyelid",    "Eyebrow Width", "Eyebrow Space", "Eyebrow Color",
    "Eyes",           "Mouth",     "Eyes Shape",    "Eyes Color",    "Nose Length",
    "Nose Bridge",    "Nose Wing", "Nose End",      "Facial Hair",   "Facial Hair.Type",
    "Ear Type",       "Lip Type",  "Chin Type",     "Freckles",      "Tattoo",
    "Mole",           "Scar",      "Temperature",   "Name",          "Cigarette",
    "Cigarette.Type", "Mask",      "Glasses",       "Glasses.Type",  "Helmet"};

const std::vector<std::string> kLicensePlateAttributes = {"Number", "Country", "State/Province",
                                                          "Size", "Color"};

const std::vector<std::string> kSupportedEventOrder = {"Motion",
                                                       "Tampering",
                                                       "AudioDetection",
                                                       "LineCrossed",
                                                       "IntrusionDetection",
                                                       "ObjectRecognized",
                                                       "GlobalSceneChange",
                                                       "ImageIsBlurry",
                                                       "InputAlarm",
                                                       "AreaEntered",
                                                       "AreaLeft",
                                                       "ObjectRemoved",
                                                       "ObjectLeftBehind",
                                                       "PeopleGathering",
                                                       "FastMoving",
                                                       "CrowdDensityMinor",
                                                       "CrowdDensityMajor",
                                                       "CrowdDensityCritical",
                                                       "ObjectTracked",
                                                       "FenceCrossed",
                                                       "Parking",
                                                       "Conflagrationdetection",
                                                       "Smoking",
                                                       "Fume",
                                                       "Temperature",
                                                       "HeatMap"};

struct ExpectedEventType
{
    const char* id;
    const char* name;
    bool stateDependent;
};

const ExpectedEventType kEventTypes[] = {
    {"Motion", "Motion", true},
    {"Tampering", "Tampering", true},
    {"AudioDetection", "Audio Detection", true},
    {"ObjectRecognized", "Object Recognized", false},
    {"GlobalSceneChange", "Global Scene Change", false},
    {"ImageIsBlurry", "Image Is Blurry", true},
    {"InputAlarm", "Input Alarm", true},
    {"LineCrossed", "Line Crossed", false},
    {"AreaEntered", "Area Entered", false},
    {"AreaLeft", "Area Left", false},
    {"ObjectRemoved", "Object Removed", false},
    {"IntrusionDetection", "IntrusionDetection", false},
    {"ObjectLeftBehind", "Object Left Behind", false},
    {"PeopleGathering", "People Gathering", false},
    {"FastMoving", "Fast Moving", false},
    {"ObjectTracked", "Object Tracked", false},
    {"FenceCrossed", "Fence Crossed", false},
    {"Parking", "Parking", false},
    {"HeatMap", "HeatMap", false},
    {"Conflagrationdetection", "Conflagration detection", false},
    {"Smoking", "Smoking", false},
    {"Fume", "Fume", false},
    {"Temperature", "Temperature", false},
    {"CrowdDensityCritical", "CrowdDensity: Critical", true},
    {"CrowdDensityMajor", "CrowdDensity: Major", true},
    {"CrowdDensityMinor", "CrowdDensity: Minor", true},
};

std::string expectedManifest()
{
    std::string text = "{\"capabilities\":\"disableStreamSelection\",\"supportedTypes\":[";
    text +=
        "{\"objectTypeId\":\"Vehicle\",\"attributes\":" + stringArray(kVehicleAttributes) + "},";
    text += "{\"objectTypeId\":\"Person\",\"attributes\":" + stringArray(kPersonAttributes) + "},";
    text += "{\"objectTypeId\":\"Face\",\"attributes\":" + stringArray(kFaceAttributes) + "},";
    text += "{\"objectTypeId\":\"LicensePlate\",\"attributes\":" +
            stringArray(kLicensePlateAttributes) + "}";
    for (const std::string& id : kSupportedEventOrder)
        text += ",{\"eventTypeId\":" + q(id) + "}";
    text += "],\"objectTypes\":[";
    const char* const objectTypes[] = {"Vehicle", "Person", "Face", "LicensePlate"};
    for (const char* id : objectTypes)
        text += std::string(id == objectTypes[0] ? "" : ",") + "{\"id\":" + q(id) +
                ",\"name\":" + q(id) + "}";
    text += "],\"eventTypes\":[";
    for (const ExpectedEventType& type : kEventTypes)
    {
        text += std::string(&type == kEventTypes ? "" : ",") + "{\"id\":" + q(type.id) +
                ",\"name\":" + q(type.name);
        if (type.stateDependent)
            text += ",\"flags\":\"stateDependent\"";
        text += ",\"groupId\":\"Korvane\"}";
    }
    return text + "]}";
}

Json parsedManifest()
{
    std::string error;
    const Json manifest = Json::parse(deviceAgentManifest(), &error);
    EXPECT_TRUE(error.empty()) << error;
    return manifest;
}

TEST(DeviceAgentManifestTest, MatchesKeyByKeyAndInOrder)
{
    const Json manifest = parsedManifest();
    ASSERT_TRUE(manifest.isObject());
    EXPECT_EQ(4u, manifest.objectItems().size());
    EXPECT_EQ(30u, manifest["supportedTypes"].arrayItems().size());
    EXPECT_EQ(4u, manifest["objectTypes"].arrayItems().size());
    EXPECT_EQ(26u, manifest["eventTypes"].arrayItems().size());

    const std::string expected = expectedManifest();
    std::string error;
    EXPECT_EQ(Json::parse(expected, &error).dump(), manifest.dump());
    EXPECT_EQ(expected, compact(deviceAgentManifest()));
}

TEST(DeviceAgentManifestTest, DeclaresAttributeListsPerObjectType)
{
    const Json types = parsedManifest()["supportedTypes"];
    const std::vector<std::string>* const expected[] = {&kVehicleAttributes, &kPersonAttributes,
                                                        &kFaceAttributes, &kLicensePlateAttributes};
    const std::size_t expectedSizes[] = {13, 49, 40, 5};
    for (std::size_t i = 0; i < 4; ++i)
    {
        const Json::Array& attributes = types[i]["attributes"].arrayItems();
        ASSERT_EQ(expectedSizes[i], attributes.size()) << i;
        for (std::size_t j = 0; j < attributes.size(); ++j)
            EXPECT_EQ((*expected[i])[j], attributes[j].stringValue()) << i << "/" << j;
        EXPECT_TRUE(types[i]["eventTypeId"].isNull());
    }
    EXPECT_EQ("HeatMap", types[29]["eventTypeId"].stringValue());
    EXPECT_EQ("CrowdDensityMinor", types[4 + 15]["eventTypeId"].stringValue());
    EXPECT_EQ("CrowdDensityCritical", types[4 + 17]["eventTypeId"].stringValue());
}

TEST(DeviceAgentManifestTest, EventTypesCarryNamesFlagsAndGroup)
{
    const Json events = parsedManifest()["eventTypes"];
    std::vector<std::string> flagged;
    for (const Json& event : events.arrayItems())
    {
        EXPECT_EQ("Korvane", event["groupId"].stringValue()) << event["id"].stringValue();
        if (!event["flags"].isNull())
        {
            EXPECT_EQ("stateDependent", event["flags"].stringValue());
            flagged.push_back(event["id"].stringValue());
        }
    }
    const std::vector<std::string> expectedFlagged = {"Motion",
                                                      "Tampering",
                                                      "AudioDetection",
                                                      "ImageIsBlurry",
                                                      "InputAlarm",
                                                      "CrowdDensityCritical",
                                                      "CrowdDensityMajor",
                                                      "CrowdDensityMinor"};
    EXPECT_EQ(expectedFlagged, flagged);
    EXPECT_EQ("CrowdDensityMinor", events[25]["id"].stringValue());
    EXPECT_EQ("IntrusionDetection", events[11]["name"].stringValue());
    EXPECT_EQ("Conflagrationdetection", events[19]["id"].stringValue());
    EXPECT_EQ("Conflagration detection", events[19]["name"].stringValue());
}

TEST(DeviceAgentManifestTest, SameTextEveryTimeAndAtLoad)
{
    EXPECT_EQ(kManifestAtLoad, deviceAgentManifest());
    EXPECT_EQ(deviceAgentManifest(), deviceAgentManifest());
}

TEST(DeviceAgentManifestTest, CatalogueAgreesWithManifestAndIsCaseSensitive)
{
    const auto& descriptors = sample::eventTypeDescriptors();
    ASSERT_EQ(kSupportedEventOrder.size(), std::size(descriptors));
    for (std::size_t i = 0; i < kSupportedEventOrder.size(); ++i)
        EXPECT_EQ(kSupportedEventOrder[i], descriptors[i].id);
    EXPECT_EQ(&descriptors[21], sample::findEventType("Conflagrationdetection"));
    EXPECT_EQ(nullptr, sample::findEventType("ConflagrationDetection"));
    EXPECT_EQ(nullptr, sample::findEventType("motion"));
    EXPECT_EQ(nullptr, sample::findEventType(""));
    EXPECT_EQ(nullptr, sample::findEventType(nullptr));
    EXPECT_STREQ("LicensePlate", sample::objectTypeIds()[3]);
}

}  // namespace
