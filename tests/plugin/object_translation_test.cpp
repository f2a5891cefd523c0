// Translation of the camera's detection records into attribute sets, and the box layout.

#include "plugin/camera/object_translation.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

OstrelVehicleRecord vehicle(int32_t type, int32_t colour, float speed, int32_t unit,
                            const char* plate = "", int32_t plateColour = 0, int32_t plateType = 0)
{
    OstrelVehicleRecord record{};
    record.vehicleType = type;
    record.vehicleColor = colour;
    record.speed = speed;
    record.speedUnit = unit;
    std::strncpy(record.plateNumber, plate, sizeof(record.plateNumber));
    record.plateColor = plateColour;
    record.plateType = plateType;
    return record;
}

TEST(ObjectTranslationTest, FaceAndPersonUseTheirOwnLookAlikeTables)
{
    OstrelFaceRecord face{};
    face.age = 1;        //< Face ages count from 1: "Child".
    face.hatColor = 15;  //< Hat colours differ at 15: "Tint".
    face.maskFlag = 2;
    face.gender = 5;  //< No such gender: left out.
    OstrelPersonRecord person{};
    person.age = 1;                   //< Person ages count from 0: "Juvenile".
    person.bottomClothingColor = 18;  //< "Gradient-Green", with a hyphen.
    person.topClothingColor = 18;
    person.mask = 2;

    const AttributeSet faceSet = faceAttributes(face);
    EXPECT_EQ(faceSet.at("Age"), "Child");
    EXPECT_EQ(faceSet.at("Hat.Color"), "Tint");
    EXPECT_EQ(faceSet.at("MaskFlag"), "Wear");
    EXPECT_EQ(faceSet.count("Gender"), 0u);
    EXPECT_EQ(faceSet.count("SkinColor"), 0u) << "skin colour codes start at 2011";

    const AttributeSet personSet = personAttributes(person);
    EXPECT_EQ(personSet.at("Age"), "Juvenile");
    EXPECT_EQ(personSet.at("Bottom Clothing Color"), "Gradient-Green");
    EXPECT_EQ(personSet.at("Top Clothing Color"), "Gradient Green");
    EXPECT_EQ(personSet.at("Mask"), "Wear");
    EXPECT_EQ(personSet.count("MaskFlag"), 0u);
}

TEST(ObjectTranslationTest, VehicleSpeedAndPlate)
{
    const AttributeSet still = vehicleAttributes(vehicle(9, 3, 0.0F, 1));
    EXPECT_EQ(still, (AttributeSet{{"Color", "Red"}, {"Type", "Seadan"}}));

    const AttributeSet moving = vehicleAttributes(vehicle(9, 3, 72.5F, 2, "AB123", 4, 25));
    EXPECT_EQ(moving.at("Speed"), "72.500000");
    EXPECT_EQ(moving.at("SpeedUnit"), "kilometer per hour");
    EXPECT_EQ(moving.at("License Plate.Number"), "AB123");
    EXPECT_EQ(moving.at("License Plate.Color"), "Blue");
    EXPECT_EQ(moving.at("License Plate.Type"), "ArmedPolice");

    EXPECT_EQ(vehicleAttributes(vehicle(0, 0, 60.0F, 1)).at("SpeedUnit"), "mile per hour");
    const AttributeSet notANumber =
        vehicleAttributes(vehicle(0, 0, std::numeric_limits<float>::quiet_NaN(), 1));
    EXPECT_EQ(notANumber.count("Speed"), 1u) << "a speed that is not a number is not 0";
    EXPECT_EQ(plateAttributes(vehicle(0, 0, 0, 0, "X1", 77, 27)), (AttributeSet{{"Number", "X1"}}))
        << "codes without rows are left out";
}

TEST(ObjectTranslationTest, PlateTextStopsAtItsFieldWithoutANul)
{
    OstrelVehicleRecord record{};
    std::memset(record.plateNumber, 'Z', sizeof(record.plateNumber));
    record.plateColor = 1;  //< The byte after the field is not part of the text.
    EXPECT_EQ(plateText(record), std::string(64, 'Z'));
}

TEST(ObjectTranslationTest, FirstRecordOfEachTypeWinsAndNullArraysCountAsEmpty)
{
    OstrelFaceRecord faces[2]{};
    faces[0].gender = 1;
    faces[1].gender = 2;
    OstrelVehicleRecord vehicles[2] = {vehicle(2, 1, 0, 0), vehicle(3, 1, 0, 0, "P2")};
    OstrelStructuredRecord batch{};
    batch.faceCount = 2;
    batch.faces = faces;
    batch.personCount = 5;  //< With a null array: no persons.
    batch.vehicleCount = 2;
    batch.vehicles = vehicles;

    PendingObjects pending;
    collectPendingObjects(batch, &pending);
    EXPECT_EQ(pending.at("Face").at("Gender"), "Man");
    EXPECT_EQ(pending.count("Person"), 0u);
    EXPECT_EQ(pending.at("Vehicle").at("Type"), "Small");
    EXPECT_EQ(pending.at("Vehicle").count("License Plate.Number"), 0u);
    EXPECT_EQ(pending.at("LicensePlate").at("Number"), "P2") << "the first vehicle with a plate";

    faces[0].gender = 2;
    collectPendingObjects(batch, &pending);
    EXPECT_EQ(pending.at("Face").at("Gender"), "Man") << "kept until the next drain";

    PendingObjects plateless;
    batch.vehicleCount = 1;  //< Only the vehicle without a plate text.
    collectPendingObjects(batch, &plateless);
    EXPECT_EQ(plateless.count("Vehicle"), 1u);
    EXPECT_EQ(plateless.count("LicensePlate"), 0u);
}

TEST(ObjectTranslationTest, BoxesStandSideBySideAndRiseWithTheFrames)
{
    const nx::sdk::analytics::Rect single = objectBoundingBox(0, 1, 0);
    EXPECT_FLOAT_EQ(single.x, 0.05F);
    EXPECT_FLOAT_EQ(single.width, 0.5F);
    EXPECT_FLOAT_EQ(single.height, 0.5F);
    EXPECT_FLOAT_EQ(single.y, 0.5F);

    const float expectedX[] = {0.025F, 0.358333F, 0.691667F};
    for (int i = 0; i < 3; ++i)
    {
        const nx::sdk::analytics::Rect box = objectBoundingBox(i, 3, 200);
        EXPECT_NEAR(box.x, expectedX[i], 1e-5);
        EXPECT_FLOAT_EQ(box.width, 0.3F);
        EXPECT_FLOAT_EQ(box.y, 0.7F);
    }
    EXPECT_FLOAT_EQ(objectBoundingBox(0, 3, 260).y, 0.4F);
    EXPECT_FLOAT_EQ(objectBoundingBox(0, 1, 199).y, 0.0F) << "never below 0";
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
