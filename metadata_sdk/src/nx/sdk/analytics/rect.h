// Rect: a rectangle in the host's normalised frame coordinates (0 to 1): x, y, width, height.
//
// A plain value copied out to the host through a pointer; its layout is four 32-bit floats.

#pragma once

namespace nx::sdk::analytics
{

struct Rect
{
    float x = 0.0F;
    float y = 0.0F;
    float width = 0.0F;
    float height = 0.0F;

    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};

static_assert(sizeof(Rect) == 4 * sizeof(float), "Rect must be exactly four floats");

}  // namespace nx::sdk::analytics
