// LabelLayout: places the text labels of a picture so that no two share a box. A label goes
// by its anchor point when that place is free, else on the nearest free row of the area
// above or below it, else on a row of its own under the area. A text's width is taken as an
// upper bound of what the usual sans-serif fonts draw at its size, so that boxes apart in
// the layout are apart on the screen.
//
// Not thread-safe: one layout per picture, used on one thread.

#pragma once

#include <string>
#include <vector>

namespace korvane::host::cli
{

// The area the labels are laid out in, in document coordinates (y pointing down).
struct LabelArea
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// A label laid out: its text (cut to fit) and where its baseline starts, or ends for
// `alignEnd` (text-anchor "end").
struct PlacedLabel
{
    std::string text;
    double x = 0;
    double y = 0;
    bool alignEnd = false;
};

// The text cut to at most `maxWidth` pixels at `size` pixels (ending in an ellipsis when
// cut), and in `*width` at most how wide it is drawn.
std::string fittedText(const std::string& text, double size, double maxWidth, double* width);

class LabelLayout
{
public:
    // Labels of `size` pixels in `area`; the rows under it begin at `belowTop`.
    LabelLayout(const LabelArea& area, double size, double belowTop);

    // Lays out `text`, cut to half the area's width, by the point (x, y) of the area.
    PlacedLabel place(const std::string& text, double x, double y);

    // The height of the rows taken under the area so far.
    double belowHeight() const { return m_belowHeight; }

private:
    struct Box
    {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;

        bool overlaps(const Box& other) const;
    };

    // The label's box with its baseline at `y`, moved sideways into the area.
    Box boxAt(double x, double y, bool alignEnd, double width) const;

    // A free place in the area for a label of `width` by (x, y); false when none is left.
    bool placeInArea(double x, double y, double width, Box* box, bool* alignEnd) const;

    const LabelArea m_area;
    const double m_size;
    const double m_ascent;   //< From the baseline to the top of the box.
    const double m_descent;  //< From the baseline to the bottom of the box.
    const double m_belowTop;
    double m_belowHeight = 0;
    std::vector<Box> m_boxes;
};

}  // namespace korvane::host::cli
