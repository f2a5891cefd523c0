#include "rules_svg.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <nx/kit/json.h>

namespace korvane::host::cli
{

namespace
{

using nx::kit::Json;

constexpr double kImageWidth = 640;
constexpr double kImageHeight = 360;
constexpr double kMargin = 20;
constexpr double kTitleHeight = 24;
constexpr double kCaptionHeight = 22;
constexpr double kBlockHeight = kTitleHeight + kImageHeight + kCaptionHeight;
constexpr double kArrowLength = 36;
constexpr std::size_t kMaxPoints = 64;  //< More is not a figure the page could have drawn.
constexpr char kDefaultColor[] = "#00a0ff";
constexpr char kLineSuffix[] = ".Points";
constexpr char kAreaSuffix[] = ".Figure";
constexpr char kEnableSuffix[] = ".Enable";
constexpr char kSwitchSuffix[] = "Enable";
const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};  //< For "&<>\"'".
// The look shared by all frames: texts, the camera image and open lines.
constexpr char kStyle[] =
    "<style type=\"text/css\">text{font-family:sans-serif;font-size:13px}"
    ".title{font-size:16px;font-weight:bold}.note{fill:#c0c0c0;font-size:14px;text-anchor:middle}"
    ".caption{fill:#404040;font-size:11px}.end{text-anchor:end}"
    ".image{fill:#2b2b2b;stroke:#808080}polyline{fill:none;stroke-linejoin:round}</style>\n";

struct Point
{
    double x = 0;
    double y = 0;
};

// A rule ready to draw, its points already in document coordinates.
struct Rule
{
    bool isLine = false;
    std::string color;
    double side = 0;  //< 1 when the arrow points to the line's left, -1 to its right, else 0.
    std::string label;
    std::vector<Point> points;
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A number with two decimals; built from integers so the process locale cannot change it.
std::string number(double value)
{
    const long long hundredths =
        std::llround((std::isfinite(value) ? std::clamp(value, -1e9, 1e9) : 0.0) * 100);
    char text[48];
    std::snprintf(text, sizeof(text), "%s%lld.%02lld", hundredths < 0 ? "-" : "",
                  std::llabs(hundredths) / 100, std::llabs(hundredths) % 100);
    return text;
}

// The length of the UTF-8 sequence at `i` when it encodes a character XML allows, else 0.
std::size_t xmlCharLength(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) -> uint32_t
    { return static_cast<unsigned char>(text[k]); };
    const uint32_t lead = byte(i);
    if (lead < 0x80)
        return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    std::size_t length = 0;  // The count of leading one bits: 2 to 4 in a lead byte.
    while (length < 5 && (lead & (0x80u >> length)) != 0)
        ++length;
    if (length < 2 || length > 4)
        return 0;
    uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k)
    {
        if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool allowed = code >= kSmallest[length] && code <= 0x10FFFF &&
                         (code < 0xD800 || code > 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
    return allowed ? length : 0;
}

// The text made safe for XML content and attributes; bytes XML cannot carry become '?'.
std::string escaped(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t length = xmlCharLength(text, i);
        const std::size_t special = std::string("&<>\"'").find(text[i]);
        if (length == 0)
            result += '?';
        else if (special != std::string::npos)
            result += kEntities[special];
        else
            result.append(text, i, length);
        i += std::max<std::size_t>(length, 1);
    }
    return result;
}

// ` name="value"` with the value escaped.
std::string attribute(const char* name, const std::string& value)
{
    return std::string(" ") + name + "=\"" + escaped(value) + "\"";
}

std::string attribute(const char* name, double value)
{
    return attribute(name, number(value));
}

// A text element of the style class at (x, y); `more` holds further attributes.
std::string textAt(double x, double y, const char* styleClass, const std::string& content,
                   const std::string& more = "")
{
    return "<text" + attribute("class", styleClass) + attribute("x", x) + attribute("y", y) + more +
           ">" + escaped(content) + "</text>\n";
}

// The colour when it is "#" and 3 or 6 hex digits, else the default.
std::string checkedColor(const std::string& color)
{
    const bool valid = (color.size() == 4 || color.size() == 7) && color[0] == '#' &&
                       std::all_of(color.begin() + 1, color.end(),
                                   [](unsigned char c) { return std::isxdigit(c) != 0; });
    return valid ? color : kDefaultColor;
}

// The finite points of a figure, clamped to the image and placed in the frame at (left, top).
std::vector<Point> framePoints(const Json& points, double left, double top)
{
    std::vector<Point> result;
    for (const Json& item : points.arrayItems())
    {
        const double x = item[0].numberValue();
        const double y = item[1].numberValue();
        if (!item[0].isNumber() || !item[1].isNumber() || !std::isfinite(x) || !std::isfinite(y))
            continue;
        if (result.size() == kMaxPoints)
            break;
        result.push_back(Point{left + std::clamp(x, 0.0, 1.0) * kImageWidth,
                               top + std::clamp(y, 0.0, 1.0) * kImageHeight});
    }
    return result;
}

// The rules that are enabled and whose figure can be drawn, in key order, placed in the frame
// whose image starts at imageTop.
std::vector<Rule> drawableRules(const std::map<std::string, std::string>& values, double imageTop)
{
    std::vector<Rule> rules;
    for (const auto& [key, text] : values)
    {
        Rule rule;
        rule.isLine = endsWith(key, kLineSuffix);
        if (!rule.isLine && !endsWith(key, kAreaSuffix))
            continue;
        const std::string suffix = rule.isLine ? kLineSuffix : kAreaSuffix;
        const std::string stem = key.substr(0, key.size() - suffix.size());
        const auto enable = values.find(stem + kEnableSuffix);
        if (stem.empty() || enable == values.end() || enable->second != "true")
            continue;
        const Json root = Json::parse(text, nullptr);
        const Json& figure = root["figure"];
        const std::string& direction = figure["direction"].stringValue();
        rule.side = direction == "left" ? 1 : direction == "right" ? -1 : 0;
        rule.color = checkedColor(figure["color"].stringValue());
        rule.label = root["label"].stringValue().empty() ? stem : root["label"].stringValue();
        rule.points = framePoints(figure["points"], kMargin, imageTop);
        if (rule.points.size() >= (rule.isLine ? 2u : 3u))
            rules.push_back(std::move(rule));
    }
    return rules;
}

std::string pointList(const std::vector<Point>& points)
{
    std::string result;
    for (const Point& point : points)
        result += (result.empty() ? "" : " ") + number(point.x) + "," + number(point.y);
    return result;
}

// An open line through the points in the colour.
std::string polyline(const std::vector<Point>& points, const std::string& color, double width)
{
    return "<polyline" + attribute("stroke", color) + attribute("stroke-width", width) +
           attribute("points", pointList(points)) + "/>\n";
}

// An arrow from the middle of the line's middle segment towards the side the rule names.
std::string arrow(const Rule& rule)
{
    const std::size_t first = (rule.points.size() - 2) / 2;
    const Point a = rule.points[first];
    const Point b = rule.points[first + 1];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (rule.side == 0 || !(length > 0))
        return "";
    // Along the segment (ux, uy); its left side, with y pointing down, is (uy, -ux).
    const double ux = (b.x - a.x) / length;
    const double uy = (b.y - a.y) / length;
    const double px = rule.side * uy;
    const double py = -rule.side * ux;
    const Point from{(a.x + b.x) / 2, (a.y + b.y) / 2};
    const Point tip{from.x + px * kArrowLength, from.y + py * kArrowLength};
    const Point base{tip.x - px * 10, tip.y - py * 10};
    return polyline(
        {from, tip, {base.x + ux * 6, base.y + uy * 6}, tip, {base.x - ux * 6, base.y - uy * 6}},
        rule.color, 2);
}

// The rule's line and arrow or its area, and its label by the first point, kept in the frame.
std::string ruleShape(const Rule& rule, double imageTop)
{
    std::string shape =
        rule.isLine ? polyline(rule.points, rule.color, 3) + arrow(rule)
                    : "<polygon" + attribute("fill", rule.color) + attribute("fill-opacity", 0.25) +
                          attribute("stroke", rule.color) + attribute("stroke-width", 2) +
                          attribute("points", pointList(rule.points)) + "/>\n";
    const Point anchor = rule.points.front();
    const double labelY = anchor.y - imageTop < 18 ? anchor.y + 16 : anchor.y - 6;
    const bool rightHalf = anchor.x - kMargin > kImageWidth / 2;
    return shape + textAt(anchor.x + (rightHalf ? -4 : 4), labelY,
                          rightHalf ? "label end" : "label", rule.label,
                          attribute("fill", rule.color));
}

// "switches: A=true, B=false" for every key without a '.' that ends in "Enable".
std::string switchesCaption(const std::map<std::string, std::string>& values)
{
    std::string caption;
    for (const auto& [key, value] : values)
    {
        if (key.find('.') != std::string::npos || !endsWith(key, kSwitchSuffix))
            continue;
        caption += (caption.empty() ? "switches: " : ", ") + key + "=" + value;
    }
    return caption;
}

std::string cameraFrame(const CameraRuleSettings& camera, double top)
{
    const double imageTop = top + kTitleHeight;
    std::string frame = "<g>\n" + textAt(kMargin, top + 17, "title", camera.camera) +
                        "<rect class=\"image\"" + attribute("x", kMargin) +
                        attribute("y", imageTop) + attribute("width", kImageWidth) +
                        attribute("height", kImageHeight) + "/>\n";
    const std::vector<Rule> rules = drawableRules(camera.values, imageTop);
    for (const Rule& rule : rules)
        frame += ruleShape(rule, imageTop);
    if (rules.empty())
    {
        frame += textAt(kMargin + kImageWidth / 2, imageTop + kImageHeight / 2, "note",
                        "no enabled rules");
    }
    const std::string caption = switchesCaption(camera.values);
    if (!caption.empty())
        frame += textAt(kMargin, imageTop + kImageHeight + 15, "caption", caption);
    return frame + "</g>\n";
}

std::string document(const std::vector<CameraRuleSettings>& cameras)
{
    const double width = 2 * kMargin + kImageWidth;
    const double height = kMargin + static_cast<double>(cameras.size()) * (kBlockHeight + kMargin);
    const std::string size = attribute("width", width) + attribute("height", height);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" +
        size + attribute("viewBox", "0 0 " + number(width) + " " + number(height)) + ">\n" +
        kStyle + "<rect fill=\"#ffffff\"" + size + "/>\n";
    double top = kMargin;
    for (const CameraRuleSettings& camera : cameras)
    {
        svg += cameraFrame(camera, top);
        top += kBlockHeight + kMargin;
    }
    return svg + "</svg>\n";
}

}  // namespace

std::string rulesSvg(const std::vector<CameraRuleSettings>& cameras)
{
    try
    {
        return document(cameras);
    }
    catch (...)  //< Only running out of memory gets here; nothing can be drawn then.
    {
        return std::string();
    }
}

}  // namespace korvane::host::cli
