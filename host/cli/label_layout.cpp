#include "label_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/cli/safe_text.h"

namespace korvane::host::cli
{

namespace
{

constexpr char kEllipsis[] = "\xE2\x80\xA6";
constexpr double kWideWidth = 1.25;  //< Of any character beyond ASCII: wide letters, ideographs.

// At most how wide the character at `i` is drawn, in font sizes; its byte count in `*length`.
double characterWidth(const std::string& text, std::size_t i, std::size_t* length)
{
    uint32_t code = 0;
    *length = std::max<std::size_t>(utf8Length(text, i, &code), 1);
    if (code >= 0x80 || *length > 1)
        return kWideWidth;
    return std::string("MWmw@%").find(static_cast<char>(code)) != std::string::npos ? 1.1 : 0.8;
}

}  // namespace

std::string fittedText(const std::string& text, double size, double maxWidth, double* width)
{
    const double ellipsis = kWideWidth * size;
    *width = 0;
    for (std::size_t i = 0; i < text.size();)
    {
        std::size_t length = 0;
        const double next = characterWidth(text, i, &length) * size;
        if (*width + next > maxWidth - ellipsis && i + length < text.size())
        {
            *width += ellipsis;
            return text.substr(0, i) + kEllipsis;
        }
        *width += next;
        i += length;
    }
    return text;
}

bool LabelLayout::Box::overlaps(const Box& other) const
{
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

LabelLayout::LabelLayout(const LabelArea& area, double size, double belowTop)
    : m_area(area),
      m_size(size),
      m_ascent(size),
      m_descent(std::ceil(0.3 * size)),
      m_belowTop(belowTop)
{
}

LabelLayout::Box LabelLayout::boxAt(double x, double y, bool alignEnd, double width) const
{
    const double right = m_area.left + m_area.width;
    const double left = alignEnd ? std::max(x - width, m_area.left) : std::min(x, right - width);
    return Box{left, y - m_ascent, left + width, y + m_descent};
}

bool LabelLayout::placeInArea(double x, double y, double width, Box* box, bool* alignEnd) const
{
    // Above the point and away from it, on the side where there is more room; below it
    // when it is at the top.
    *alignEnd = x - m_area.left > m_area.width / 2;
    const double step = m_ascent + m_descent;
    const double preferred = y - m_area.top < step ? y + m_ascent + 3 : y - 6;
    const double highest = m_area.top + m_ascent;
    const double lowest = m_area.top + m_area.height - m_descent;
    const int rows = static_cast<int>(m_area.height / step) + 1;
    for (int k = 0; k <= 2 * rows; ++k)
    {
        const double baseline = preferred + (k % 2 == 0 ? 1 : -1) * ((k + 1) / 2) * step;
        if (baseline < highest || baseline > lowest)
            continue;
        *box = boxAt(x + (*alignEnd ? -4 : 4), baseline, *alignEnd, width);
        if (std::none_of(m_boxes.begin(), m_boxes.end(),
                         [&](const Box& other) { return other.overlaps(*box); }))
        {
            return true;
        }
    }
    return false;
}

PlacedLabel LabelLayout::place(const std::string& text, double x, double y)
{
    PlacedLabel label;
    double width = 0;
    label.text = fittedText(text, m_size, m_area.width / 2, &width);
    Box box;
    if (!placeInArea(x, y, width, &box, &label.alignEnd))
    {
        m_belowHeight += m_ascent + m_descent;
        label.alignEnd = false;
        box = boxAt(m_area.left, m_belowTop + m_belowHeight - m_descent, false, width);
    }
    m_boxes.push_back(box);
    label.x = label.alignEnd ? box.right : box.left;
    label.y = box.top + m_ascent;
    return label;
}

}  // namespace korvane::host::cli
