#include "attribute_tables.h"

#include <array>
#include <iterator>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

using Row = AttributeTable::Row;

// Works for plain arrays of rows and for std::array.
template <typename Rows>
constexpr bool isStrictlyAscending(const Rows& rows)
{
    for (std::size_t i = 1; i < std::size(rows); ++i)
    {
        if (rows[i - 1].code >= rows[i].code)
            return false;
    }
    return true;
}

constexpr Row kFaceAgeRows[] = {
    {1, "Child"}, {2, "Juvenile"}, {3, "Youth"}, {4, "Middle-aged"}, {5, "Old-Age"}};
constexpr Row kPersonAgeRows[] = {
    {0, "Child"}, {1, "Juvenile"}, {2, "Youth"}, {3, "Middle-aged"}, {4, "Old-Age"}};
constexpr Row kGenderRows[] = {{1, "Man"}, {2, "Woman"}, {9, "Unexplained"}};
constexpr Row kBagRows[] = {{0, "No"}, {1, "Carry"}, {2, "Back"}};
constexpr Row kBeardRows[] = {{1, "Unexist"}, {2, "Exist"}};
constexpr Row kBodyOrientationRows[] = {{1, "Positive"}, {2, "Side"}, {3, "Back"}};
constexpr Row kCoatPatternRows[] = {{1, "No-Patterns"}, {2, "Exist-Patterns"}};
constexpr Row kEmotionRows[] = {{1, "Angry"},  {2, "Calm"},    {3, "Confused"}, {4, "Abhorrent"},
                                {5, "Happy"},  {6, "Sad"},     {7, "Afraid"},   {8, "Amazed"},
                                {9, "Squint"}, {10, "Scream"}, {11, "Other"}};
constexpr Row kGlassesFlagRows[] = {{1, "No"}, {2, "Yes"}};
constexpr Row kSmileRows[] = {{1, "No"}, {2, "Yes"}};
constexpr Row kGlassesStyleRows[] = {{1, "General"}, {2, "Sunglasses"}, {99, "Other"}};
constexpr Row kHatStyleRows[] = {{1, "Woolen Hat"}, {2, "Beret"},      {3, "BaseballCap"},
                                 {4, "FlatHat"},    {5, "BucketHat"},  {6, "SleeveCap"},
                                 {7, "PeakedCap"},  {8, "BrimmedHat"}, {99, "Other"}};
constexpr Row kFaceMaskRows[] = {{1, "NotWear"}, {2, "Wear"}};
constexpr Row kPersonMaskRows[] = {{1, "NotWear"}, {2, "Wear"}};
constexpr Row kMovingDirectionRows[] = {{1, "Static"},   {2, "Up"},      {3, "Down"},
                                        {4, "Left"},     {5, "Right"},   {6, "Leftup"},
                                        {7, "LeftDown"}, {8, "RightUp"}, {9, "RightDown"}};
constexpr Row kHairLengthRows[] = {{1, "Short"}, {2, "Long"}};
constexpr Row kSleeveLengthRows[] = {{1, "Short"}, {2, "Long"}};
constexpr Row kTrousersLengthRows[] = {{1, "Short"}, {2, "Long"}};
constexpr Row kShoeTubeLengthRows[] = {{1, "Short"}, {2, "Long"}};
constexpr Row kSkinColourRows[] = {
    {2011, "White"}, {2012, "Black"}, {2013, "Yellow"}, {2014, "Brown"}};

// The colour tables share all rows but those of codes 15, 17 and 18.
constexpr std::array<Row, 20> colourRows(const char* text15, const char* text17, const char* text18)
{
    return {{{0, "Black"},        {1, "White"},          {2, "Grey"},   {3, "Red"},
             {4, "Blue"},         {5, "Yellow"},         {6, "Orange"}, {7, "Brown"},
             {8, "Green"},        {9, "Purple"},         {10, "Cyan"},  {11, "Pink"},
             {12, "Transparent"}, {13, "Silvery White"}, {14, "Dark"},  {15, text15},
             {16, "Colourless"},  {17, text17},          {18, text18},  {99, "Other"}}};
}

constexpr std::array<Row, 20> kUpperClothingColourRows =
    colourRows("Light", "Yellow-Green", "Gradient Green");
constexpr std::array<Row, 20> kVehicleColourRows =
    colourRows("Light", "Yellow-Green", "Gradient Green");
constexpr std::array<Row, 20> kLowerClothingColourRows =
    colourRows("Light", "Yellow-Green", "Gradient-Green");
constexpr std::array<Row, 20> kHatColourRows = colourRows("Tint", "Olivine", "Gradient Green");

// There is no code 27.
constexpr Row kPlateTypeRows[] = {
    {0, "BigCar"},
    {1, "MiniCar"},
    {2, "EmvassyCar"},
    {3, "ConsulateCar"},
    {4, "OverseasCar"},
    {5, "ForeignCar"},
    {6, "MotorBike"},
    {7, "HandinessMotorBike"},
    {8, "EmbassyMotorBike"},
    {9, "ConsulateMotorBike"},
    {10, "OverseasMotorBike"},
    {11, "ForeignMotorBike"},
    {12, "LowSpeedCar"},
    {13, "Tractor"},
    {14, "Trailer"},
    {15, "CoachCar"},
    {16, "CcoachMotorBike"},
    {17, "TemporaryEntryCar"},
    {18, "TemporaryEntryMotorBike"},
    {19, "TemporaryDriving"},
    {20, "PoliceCar"},
    {21, "PoliceMotorBike"},
    {22, "Agriculture"},
    {23, "HongkongEntryExit"},
    {24, "MacaoEntryExit"},
    {25, "ArmedPolice"},
    {26, "Army"},
    {28, "NON_MOTOR_VEH"},
    {29, "LARGE_NEW_ENERGY_VEH"},
    {30, "SMALL_ENERGY_VEH"},
    {31, "MEDIUM_VEH"},
    {32, "TEST_CAR"},
    {33, "TEST_MOTORCYCLE"},
    {99, "Other"},
};

constexpr Row kVehicleTypeRows[] = {
    {0, "Tricycle"},    {1, "MotorBus"},     {2, "Small"},
    {3, "Middle"},      {4, "Big"},          {5, "TwoWheelveh"},
    {6, "Motorcycle"},  {7, "Tractor"},      {8, "Agricultural"},
    {9, "Seadan"},      {10, "SUV"},         {11, "VAN"},
    {12, "SmallTrack"}, {13, "MediaTrack"},  {14, "LargeBus"},
    {15, "LargeTruck"}, {16, "PickupTruck"}, {17, "BUSINESSVEH"},
    {18, "SportsCar"},  {19, "MiniCar"},     {20, "HatchbackCar"},
    {21, "ThreeBox"},   {22, "LightBus"},    {23, "MediumTruck"},
    {24, "Trailer"},    {25, "Tank"},        {26, "WaterCar"},
    {998, "Unknown"},   {999, "Other"},      {1000, "Indistinguish"},
};

static_assert(
    isStrictlyAscending(kFaceAgeRows) && isStrictlyAscending(kPersonAgeRows) &&
        isStrictlyAscending(kGenderRows) && isStrictlyAscending(kBagRows) &&
        isStrictlyAscending(kBeardRows) && isStrictlyAscending(kBodyOrientationRows) &&
        isStrictlyAscending(kCoatPatternRows) && isStrictlyAscending(kEmotionRows) &&
        isStrictlyAscending(kGlassesFlagRows) && isStrictlyAscending(kSmileRows) &&
        isStrictlyAscending(kGlassesStyleRows) && isStrictlyAscending(kHatStyleRows) &&
        isStrictlyAscending(kFaceMaskRows) && isStrictlyAscending(kPersonMaskRows) &&
        isStrictlyAscending(kMovingDirectionRows) && isStrictlyAscending(kHairLengthRows) &&
        isStrictlyAscending(kSleeveLengthRows) && isStrictlyAscending(kTrousersLengthRows) &&
        isStrictlyAscending(kShoeTubeLengthRows) && isStrictlyAscending(kSkinColourRows) &&
        isStrictlyAscending(kUpperClothingColourRows) && isStrictlyAscending(kVehicleColourRows) &&
        isStrictlyAscending(kLowerClothingColourRows) && isStrictlyAscending(kHatColourRows) &&
        isStrictlyAscending(kPlateTypeRows) && isStrictlyAscending(kVehicleTypeRows),
    "attribute table rows must be in strictly ascending code order");

template <typename Rows>
constexpr AttributeTable tableOf(const Rows& rows)
{
    return AttributeTable(std::data(rows), std::size(rows));
}

}  // namespace

const char* AttributeTable::find(int32_t code) const
{
    // Binary search over the sorted rows.
    std::size_t low = 0;
    std::size_t high = m_count;
    while (low < high)
    {
        const std::size_t middle = low + (high - low) / 2;
        if (m_rows[middle].code < code)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < m_count && m_rows[low].code == code)
        return m_rows[low].text;
    return nullptr;
}

std::string AttributeTable::text(int32_t code) const
{
    const char* found = find(code);
    return found != nullptr ? std::string(found) : std::string();
}

#define KORVANE_ATTRIBUTE_TABLE(function, rows)                 \
    const AttributeTable& function()                            \
    {                                                           \
        static constexpr AttributeTable kTable = tableOf(rows); \
        return kTable;                                          \
    }

KORVANE_ATTRIBUTE_TABLE(faceAgeTable, kFaceAgeRows)
KORVANE_ATTRIBUTE_TABLE(personAgeTable, kPersonAgeRows)
KORVANE_ATTRIBUTE_TABLE(genderTable, kGenderRows)
KORVANE_ATTRIBUTE_TABLE(bagTable, kBagRows)
KORVANE_ATTRIBUTE_TABLE(beardTable, kBeardRows)
KORVANE_ATTRIBUTE_TABLE(bodyOrientationTable, kBodyOrientationRows)
KORVANE_ATTRIBUTE_TABLE(coatPatternTable, kCoatPatternRows)
KORVANE_ATTRIBUTE_TABLE(emotionTable, kEmotionRows)
KORVANE_ATTRIBUTE_TABLE(glassesFlagTable, kGlassesFlagRows)
KORVANE_ATTRIBUTE_TABLE(smileTable, kSmileRows)
KORVANE_ATTRIBUTE_TABLE(glassesStyleTable, kGlassesStyleRows)
KORVANE_ATTRIBUTE_TABLE(hatStyleTable, kHatStyleRows)
KORVANE_ATTRIBUTE_TABLE(faceMaskTable, kFaceMaskRows)
KORVANE_ATTRIBUTE_TABLE(personMaskTable, kPersonMaskRows)
KORVANE_ATTRIBUTE_TABLE(movingDirectionTable, kMovingDirectionRows)
KORVANE_ATTRIBUTE_TABLE(hairLengthTable, kHairLengthRows)
KORVANE_ATTRIBUTE_TABLE(sleeveLengthTable, kSleeveLengthRows)
KORVANE_ATTRIBUTE_TABLE(trousersLengthTable, kTrousersLengthRows)
KORVANE_ATTRIBUTE_TABLE(shoeTubeLengthTable, kShoeTubeLengthRows)
KORVANE_ATTRIBUTE_TABLE(skinColourTable, kSkinColourRows)
KORVANE_ATTRIBUTE_TABLE(upperClothingColourTable, kUpperClothingColourRows)
KORVANE_ATTRIBUTE_TABLE(vehicleColourTable, kVehicleColourRows)
KORVANE_ATTRIBUTE_TABLE(lowerClothingColourTable, kLowerClothingColourRows)
KORVANE_ATTRIBUTE_TABLE(hatColourTable, kHatColourRows)
KORVANE_ATTRIBUTE_TABLE(plateTypeTable, kPlateTypeRows)
KORVANE_ATTRIBUTE_TABLE(vehicleTypeTable, kVehicleTypeRows)

#undef KORVANE_ATTRIBUTE_TABLE

}  // namespace nx::vms_server_plugins::analytics::sample
