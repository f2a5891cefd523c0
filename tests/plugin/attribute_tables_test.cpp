// The attribute tables: separate look-alike tables, absent codes, sample rows and row counts.

#include "plugin/camera/attribute_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace
{

using namespace nx::vms_server_plugins::analytics::sample;

// Read during this unit's static initialisation: the tables must already be usable.
const std::string kTextAtLoad = vehicleTypeTable().text(998);

// The text of the code, or "<absent>".
std::string lookup(const AttributeTable& table, int32_t code)
{
    const char* text = table.find(code);
    EXPECT_EQ(text != nullptr, table.contains(code)) << code;
    return text != nullptr ? std::string(text) : std::string("<absent>");
}

TEST(AttributeTablesTest, LookAlikeTablesStayApart)
{
    EXPECT_EQ("Old-Age", lookup(faceAgeTable(), 5));
    EXPECT_EQ("<absent>", lookup(personAgeTable(), 5));
    EXPECT_EQ("Child", lookup(personAgeTable(), 0));
    EXPECT_EQ("<absent>", lookup(faceAgeTable(), 0));
    EXPECT_EQ("Middle-aged", lookup(faceAgeTable(), 4));
    EXPECT_EQ("Old-Age", lookup(personAgeTable(), 4));

    EXPECT_EQ("Gradient Green", lookup(upperClothingColourTable(), 18));
    EXPECT_EQ("Gradient Green", lookup(vehicleColourTable(), 18));
    EXPECT_EQ("Gradient Green", lookup(hatColourTable(), 18));
    EXPECT_EQ("Gradient-Green", lookup(lowerClothingColourTable(), 18));
    EXPECT_EQ("Tint", lookup(hatColourTable(), 15));
    EXPECT_EQ("Olivine", lookup(hatColourTable(), 17));
    for (const AttributeTable* table :
         {&upperClothingColourTable(), &vehicleColourTable(), &lowerClothingColourTable()})
    {
        EXPECT_EQ("Light", lookup(*table, 15));
        EXPECT_EQ("Yellow-Green", lookup(*table, 17));
    }

    // Tables with equal rows are still distinct tables.
    const std::vector<const AttributeTable*> distinct = {
        &faceMaskTable(),       &personMaskTable(),     &glassesFlagTable(),
        &smileTable(),          &hairLengthTable(),     &sleeveLengthTable(),
        &trousersLengthTable(), &shoeTubeLengthTable(), &upperClothingColourTable(),
        &vehicleColourTable(),  &faceAgeTable(),        &personAgeTable()};
    for (std::size_t i = 0; i < distinct.size(); ++i)
    {
        for (std::size_t j = i + 1; j < distinct.size(); ++j)
            EXPECT_NE(distinct[i], distinct[j]) << i << " " << j;
    }
    EXPECT_EQ("Wear", lookup(faceMaskTable(), 2));
    EXPECT_EQ("Wear", lookup(personMaskTable(), 2));
    EXPECT_EQ("Yes", lookup(glassesFlagTable(), 2));
    EXPECT_EQ("No", lookup(smileTable(), 1));
}

TEST(AttributeTablesTest, AbsentCodesYieldNothing)
{
    EXPECT_EQ("<absent>", lookup(skinColourTable(), 1));
    EXPECT_EQ("Yellow", lookup(skinColourTable(), 2013));
    EXPECT_EQ("<absent>", lookup(plateTypeTable(), 27));
    EXPECT_EQ("<absent>", lookup(genderTable(), 3));
    EXPECT_EQ("<absent>", lookup(bagTable(), -1));
    EXPECT_EQ("<absent>", lookup(vehicleColourTable(), 19));
    EXPECT_EQ("<absent>", lookup(vehicleTypeTable(), 27));
    EXPECT_EQ("<absent>", lookup(vehicleTypeTable(), 1001));
    const int32_t extremes[] = {std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max()};
    for (const int32_t code : extremes)
    {
        EXPECT_EQ("<absent>", lookup(plateTypeTable(), code));
        EXPECT_EQ("<absent>", lookup(emotionTable(), code));
    }
    EXPECT_EQ("", plateTypeTable().text(27));
}

TEST(AttributeTablesTest, SampleRowsKeepTheirSpelling)
{
    EXPECT_EQ("Unexplained", genderTable().text(9));
    EXPECT_EQ("Back", bagTable().text(2));
    EXPECT_EQ("Unexist", beardTable().text(1));
    EXPECT_EQ("Side", bodyOrientationTable().text(2));
    EXPECT_EQ("Exist-Patterns", coatPatternTable().text(2));
    EXPECT_EQ("Abhorrent", emotionTable().text(4));
    EXPECT_EQ("Other", emotionTable().text(11));
    EXPECT_EQ("Other", glassesStyleTable().text(99));
    EXPECT_EQ("Woolen Hat", hatStyleTable().text(1));
    EXPECT_EQ("Other", hatStyleTable().text(99));
    EXPECT_EQ("Leftup", movingDirectionTable().text(6));
    EXPECT_EQ("RightDown", movingDirectionTable().text(9));
    EXPECT_EQ("Long", hairLengthTable().text(2));
    EXPECT_EQ("Short", sleeveLengthTable().text(1));
    EXPECT_EQ("Long", trousersLengthTable().text(2));
    EXPECT_EQ("Short", shoeTubeLengthTable().text(1));
    EXPECT_EQ("White", skinColourTable().text(2011));
    EXPECT_EQ("Brown", skinColourTable().text(2014));
    EXPECT_EQ("Black", lowerClothingColourTable().text(0));
    EXPECT_EQ("Silvery White", hatColourTable().text(13));
    EXPECT_EQ("Colourless", vehicleColourTable().text(16));
    EXPECT_EQ("Other", upperClothingColourTable().text(99));
    EXPECT_EQ("BigCar", plateTypeTable().text(0));
    EXPECT_EQ("EmvassyCar", plateTypeTable().text(2));
    EXPECT_EQ("CcoachMotorBike", plateTypeTable().text(16));
    EXPECT_EQ("ArmedPolice", plateTypeTable().text(25));
    EXPECT_EQ("NON_MOTOR_VEH", plateTypeTable().text(28));
    EXPECT_EQ("Other", plateTypeTable().text(99));
    EXPECT_EQ("Tricycle", vehicleTypeTable().text(0));
    EXPECT_EQ("TwoWheelveh", vehicleTypeTable().text(5));
    EXPECT_EQ("Seadan", vehicleTypeTable().text(9));
    EXPECT_EQ("MediaTrack", vehicleTypeTable().text(13));
    EXPECT_EQ("WaterCar", vehicleTypeTable().text(26));
    EXPECT_EQ("Unknown", vehicleTypeTable().text(998));
    EXPECT_EQ("Indistinguish", vehicleTypeTable().text(1000));
}

TEST(AttributeTablesTest, RowCounts)
{
    const std::pair<const AttributeTable*, std::size_t> expected[] = {
        {&faceAgeTable(), 5},
        {&personAgeTable(), 5},
        {&genderTable(), 3},
        {&bagTable(), 3},
        {&beardTable(), 2},
        {&bodyOrientationTable(), 3},
        {&coatPatternTable(), 2},
        {&emotionTable(), 11},
        {&glassesFlagTable(), 2},
        {&smileTable(), 2},
        {&glassesStyleTable(), 3},
        {&hatStyleTable(), 9},
        {&faceMaskTable(), 2},
        {&personMaskTable(), 2},
        {&movingDirectionTable(), 9},
        {&hairLengthTable(), 2},
        {&sleeveLengthTable(), 2},
        {&trousersLengthTable(), 2},
        {&shoeTubeLengthTable(), 2},
        {&skinColourTable(), 4},
        {&upperClothingColourTable(), 20},
        {&vehicleColourTable(), 20},
        {&lowerClothingColourTable(), 20},
        {&hatColourTable(), 20},
        {&plateTypeTable(), 34},
        {&vehicleTypeTable(), 30}};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(expected[i].second, expected[i].first->size()) << "table " << i;
}

TEST(AttributeTablesTest, UsableAtLoadAndFromManyThreads)
{
    EXPECT_EQ("Unknown", kTextAtLoad);

    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [t, &mismatches]()
            {
                for (int i = 0; i < 1000; ++i)
                {
                    if (plateTypeTable().text(25) != "ArmedPolice" || hatColourTable().contains(19))
                        ++mismatches[t];
                }
            });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(std::vector<int>(4, 0), mismatches);
}

}  // namespace
