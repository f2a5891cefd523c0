#include "object_translation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/camera/attribute_tables.h"
#include "plugin/manifests/type_catalogue.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// One attribute of a record: its name, the table for its code, and where the code is.
template <class Record>
struct AttributeField
{
    const char* name;
    const AttributeTable& (*table)();
    int32_t Record::*code;
};

template <class Record, size_t kCount>
void addAttributes(const Record& record, const AttributeField<Record> (&fields)[kCount],
                   AttributeSet* attributes)
{
    for (const auto& field : fields)
    {
        if (const char* const text = field.table().find(record.*field.code))
            (*attributes)[field.name] = text;
    }
}

const AttributeField<OstrelFaceRecord> kFaceFields[] = {
    {"Gender", genderTable, &OstrelFaceRecord::gender},
    {"Age", faceAgeTable, &OstrelFaceRecord::age},
    {"GlassFlag", glassesFlagTable, &OstrelFaceRecord::glassFlag},
    {"GlassesStyle", glassesStyleTable, &OstrelFaceRecord::glassesStyle},
    {"MaskFlag", faceMaskTable, &OstrelFaceRecord::maskFlag},
    {"Emotion", emotionTable, &OstrelFaceRecord::emotion},
    {"Smile", smileTable, &OstrelFaceRecord::smile},
    {"SkinColor", skinColourTable, &OstrelFaceRecord::skinColor},
    {"Beard", beardTable, &OstrelFaceRecord::beard},
    {"Hat.Style", hatStyleTable, &OstrelFaceRecord::hatStyle},
    {"Hat.Color", hatColourTable, &OstrelFaceRecord::hatColor},
};

const AttributeField<OstrelPersonRecord> kPersonFields[] = {
    {"Gender", genderTable, &OstrelPersonRecord::gender},
    {"Age", personAgeTable, &OstrelPersonRecord::age},
    {"SleevesLength", sleeveLengthTable, &OstrelPersonRecord::sleevesLength},
    {"Top Clothing Color", upperClothingColourTable, &OstrelPersonRecord::topClothingColor},
    {"TrousersLength", trousersLengthTable, &OstrelPersonRecord::trousersLength},
    {"Bottom Clothing Color", lowerClothingColourTable, &OstrelPersonRecord::bottomClothingColor},
    {"BodyToward", bodyOrientationTable, &OstrelPersonRecord::bodyToward},
    {"ShoesTubeLength", shoeTubeLengthTable, &OstrelPersonRecord::shoesTubeLength},
    {"HairLength", hairLengthTable, &OstrelPersonRecord::hairLength},
    {"BagFlag", bagTable, &OstrelPersonRecord::bagFlag},
    {"Mask", personMaskTable, &OstrelPersonRecord::mask},
    {"CoatTexture", coatPatternTable, &OstrelPersonRecord::coatTexture},
    {"MovingDirection", movingDirectionTable, &OstrelPersonRecord::movingDirection},
};

const AttributeField<OstrelVehicleRecord> kVehicleFields[] = {
    {"Type", vehicleTypeTable, &OstrelVehicleRecord::vehicleType},
    {"Color", vehicleColourTable, &OstrelVehicleRecord::vehicleColor},
};

const AttributeField<OstrelVehicleRecord> kVehiclePlateFields[] = {
    {"License Plate.Color", vehicleColourTable, &OstrelVehicleRecord::plateColor},
    {"License Plate.Type", plateTypeTable, &OstrelVehicleRecord::plateType},
};

const AttributeField<OstrelVehicleRecord> kPlateFields[] = {
    {"Color", vehicleColourTable, &OstrelVehicleRecord::plateColor},
    {"Type", plateTypeTable, &OstrelVehicleRecord::plateType},
};

// printf "%f" of the speed widened to double.
std::string speedText(float speed)
{
    char text[400];  //< Enough for the largest float printed in full.
    std::snprintf(text, sizeof(text), "%f", static_cast<double>(speed));
    return text;
}

}  // namespace

AttributeSet faceAttributes(const OstrelFaceRecord& face)
{
    AttributeSet attributes;
    addAttributes(face, kFaceFields, &attributes);
    return attributes;
}

AttributeSet personAttributes(const OstrelPersonRecord& person)
{
    AttributeSet attributes;
    addAttributes(person, kPersonFields, &attributes);
    return attributes;
}

AttributeSet vehicleAttributes(const OstrelVehicleRecord& vehicle)
{
    AttributeSet attributes;
    addAttributes(vehicle, kVehicleFields, &attributes);
    if (vehicle.speed != 0.0F)  //< NaN compares unequal, so it counts as a speed.
    {
        attributes["SpeedUnit"] = vehicle.speedUnit == 1 ? "mile per hour" : "kilometer per hour";
        attributes["Speed"] = speedText(vehicle.speed);
    }
    const std::string plate = plateText(vehicle);
    if (!plate.empty())
    {
        attributes["License Plate.Number"] = plate;
        addAttributes(vehicle, kVehiclePlateFields, &attributes);
    }
    return attributes;
}

AttributeSet plateAttributes(const OstrelVehicleRecord& vehicle)
{
    AttributeSet attributes{{"Number", plateText(vehicle)}};
    addAttributes(vehicle, kPlateFields, &attributes);
    return attributes;
}

std::string plateText(const OstrelVehicleRecord& vehicle)
{
    const char* const text = vehicle.plateNumber;
    const void* const end = std::memchr(text, '\0', sizeof(vehicle.plateNumber));
    return std::string(text,
                       end ? static_cast<const char*>(end) : text + sizeof(vehicle.plateNumber));
}

void collectPendingObjects(const OstrelStructuredRecord& batch, PendingObjects* pending)
{
    // Only the first record of a type can be kept, so the later ones are not translated.
    if (batch.faces && batch.faceCount > 0 && !pending->count(kFaceObjectType))
        pending->emplace(kFaceObjectType, faceAttributes(batch.faces[0]));
    if (batch.persons && batch.personCount > 0 && !pending->count(kPersonObjectType))
        pending->emplace(kPersonObjectType, personAttributes(batch.persons[0]));
    if (!batch.vehicles)
        return;
    if (batch.vehicleCount > 0 && !pending->count(kVehicleObjectType))
        pending->emplace(kVehicleObjectType, vehicleAttributes(batch.vehicles[0]));
    for (uint32_t i = 0; i < batch.vehicleCount && !pending->count(kLicensePlateObjectType); ++i)
    {
        if (!plateText(batch.vehicles[i]).empty())
            pending->emplace(kLicensePlateObjectType, plateAttributes(batch.vehicles[i]));
    }
}

nx::sdk::analytics::Rect objectBoundingBox(int index, int count, uint32_t frameCounter)
{
    const double n = count;
    const double size = std::min(0.5, 0.9 / n);
    const double x = 0.1 / (n + 1) + index / n;
    const double y = std::max(0.0, 1.0 - size - (frameCounter % 200) * 0.005);
    return nx::sdk::analytics::Rect{static_cast<float>(x), static_cast<float>(y),
                                    static_cast<float>(size), static_cast<float>(size)};
}

}  // namespace nx::vms_server_plugins::analytics::sample
