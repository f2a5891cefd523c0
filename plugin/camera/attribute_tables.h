// Attribute tables: the fixed tables that turn the camera's numeric attribute codes of faces,
// persons and vehicles into the texts of object attributes.
//
// Every table is a constant-initialised array sorted by code, so the tables can be read from
// any thread without locking and from any source unit's static initialisation. Look-alike
// tables (the two age tables, the colour tables, the mask and yes/no tables) are separate
// tables even where their rows are equal.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// One fixed table from camera code to attribute text; rows sorted by ascending code.
class AttributeTable
{
public:
    struct Row
    {
        int32_t code;
        const char* text;
    };

    // REQUIRES: rows holds count rows in strictly ascending code order and outlives the table.
    constexpr AttributeTable(const Row* rows, std::size_t count) : m_rows(rows), m_count(count) {}

    // True when the code has a row.
    bool contains(int32_t code) const { return find(code) != nullptr; }

    // A copy of the code's row text.
    // REQUIRES: contains(code); an absent code yields the empty string.
    std::string text(int32_t code) const;

    // The code's row text, or null when the code has no row.
    const char* find(int32_t code) const;

    // The number of rows.
    std::size_t size() const { return m_count; }

private:
    const Row* m_rows;
    std::size_t m_count;
};

// Face attribute tables.
const AttributeTable& faceAgeTable();
const AttributeTable& glassesFlagTable();
const AttributeTable& glassesStyleTable();
const AttributeTable& faceMaskTable();
const AttributeTable& emotionTable();
const AttributeTable& smileTable();
const AttributeTable& skinColourTable();
const AttributeTable& beardTable();
const AttributeTable& hatStyleTable();
const AttributeTable& hatColourTable();

// Face and person gender.
const AttributeTable& genderTable();

// Person attribute tables.
const AttributeTable& personAgeTable();
const AttributeTable& sleeveLengthTable();
const AttributeTable& upperClothingColourTable();
const AttributeTable& trousersLengthTable();
const AttributeTable& lowerClothingColourTable();
const AttributeTable& bodyOrientationTable();
const AttributeTable& shoeTubeLengthTable();
const AttributeTable& hairLengthTable();
const AttributeTable& bagTable();
const AttributeTable& personMaskTable();
const AttributeTable& coatPatternTable();
const AttributeTable& movingDirectionTable();

// Vehicle and licence plate attribute tables.
const AttributeTable& vehicleTypeTable();
const AttributeTable& vehicleColourTable();
const AttributeTable& plateTypeTable();

}  // namespace nx::vms_server_plugins::analytics::sample
