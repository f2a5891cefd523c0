#include "rules_svg.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include <nx/kit/json.h>

#include "host/cli/label_layout.h"
#include "host/cli/safe_text.h"
#include "plugin/rules/rule_kind.h"

namespace korvane::host::cli
{

namespace
{

using nx::kit::Json;
using nx::vms_server_plugins::analytics::sample::kEnableSuffix;
using nx::vms_server_plugins::analytics::sample::RuleFigureType;
using nx::vms_server_plugins::analytics::sample::RuleKind;
using nx::vms_server_plugins::analytics::sample::ruleKindInfo;

constexpr double kImageWidth = 640;
constexpr double kImageHeight = 360;
constexpr double kMargin = 20;
constexpr double kTitleHeight = 24;
constexpr double kCaptionHeight = 22;
constexpr double kBlockHeight = kTitleHeight + kImageHeight + kCaptionHeight;
constexpr double kLegendRowHeight = 18;
constexpr double kLegendHeight = 2 * kLegendRowHeight;
constexpr double kArrowLength = 36;
constexpr std::size_t kMaxPoints = 64;  //< More is not a figure the page could have drawn.
constexpr char kSwitchSuffix[] = "Enable";
const char* const kEntities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};  //< For "&<>\"'".
// The look shared by all frames: texts, the camera image and open lines.
constexpr char kStyle[] =
    "<style type=\"text/css\">text{font-family:sans-serif;font-size:13px}"
    ".title{font-size:16px;font-weight:bold}.note{fill:#c0c0c0;font-size:14px;text-anchor:middle}"
    ".caption{fill:#404040;font-size:11px}.end{text-anchor:end}"
    ".image{fill:#2b2b2b;stroke:#808080}polyline{fill:none;stroke-linejoin:round}</style>\n";

// The colour each kind is drawn in when its rule names none, in the order of the legend.
struct KindLook
{
    RuleKind kind;
    const char* color;
};
constexpr KindLook kKindLooks[] = {{RuleKind::kLineCross, "#00a0ff"},
                                   {RuleKind::kIntrusion, "#ff4d4d"},
                                   {RuleKind::kEnterArea, "#3cc83c"},
                                   {RuleKind::kLeaveArea, "#ffaa00"}};

// How a rule of a kind switched off on the camera is drawn: it would not fire.
constexpr char kOffColor[] = "#9a9a9a";
constexpr char kOffDashes[] = "6 4";
constexpr char kOffLabelSuffix[] = " (off)";
constexpr double kLabelSize = 13;  //< The texts' size, as the style sets it.

struct Point
{
    double x = 0;
    double y = 0;
};

// A rule ready to draw, its points already in document coordinates.
struct Rule
{
    bool isLine = false;
    bool off = false;  //< Its kind is switched off on the camera.
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
    uint32_t code = 0;
    const std::size_t length = utf8Length(text, i, &code);
    const bool allowed = code >= 0x20 ? code != 0xFFFE && code != 0xFFFF
                                      : code == '\t' || code == '\n' || code == '\r';
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

// The colour when it is "#" and 3 or 6 hex digits, else `fallback`.
std::string checkedColor(const std::string& color, const char* fallback)
{
    const bool valid = (color.size() == 4 || color.size() == 7) && color[0] == '#' &&
                       std::all_of(color.begin() + 1, color.end(),
                                   [](unsigned char c) { return std::isxdigit(c) != 0; });
    return valid ? color : fallback;
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

// The enabled rules of one kind whose figure can be drawn, in key order, added to `rules`.
void addDrawableRules(const std::map<std::string, std::string>& values, const KindLook& look,
                      double imageTop, std::vector<Rule>* rules)
{
    const auto& info = ruleKindInfo(look.kind);
    const auto kindSwitch = values.find(info.switchKey);
    const bool off = kindSwitch != values.end() && kindSwitch->second == "false";
    const std::string prefix = info.settingPrefix;
    for (auto it = values.lower_bound(prefix);
         it != values.end() && it->first.rfind(prefix, 0) == 0; ++it)
    {
        const std::string& key = it->first;
        if (key.size() <= prefix.size() || !endsWith(key, info.figureSuffix))
            continue;
        const std::string stem = key.substr(0, key.size() - std::string(info.figureSuffix).size());
        const auto enable = values.find(stem + kEnableSuffix);
        if (enable == values.end() || enable->second != "true")
            continue;
        const Json root = Json::parse(it->second, nullptr);
        const Json& figure = root["figure"];
        const std::string& direction = figure["direction"].stringValue();
        Rule rule;
        rule.isLine = info.section.figureType == RuleFigureType::kLine;
        rule.off = off;
        rule.side = direction == "left" ? 1 : direction == "right" ? -1 : 0;
        rule.color = off ? kOffColor : checkedColor(figure["color"].stringValue(), look.color);
        rule.label = root["label"].stringValue().empty() ? stem : root["label"].stringValue();
        rule.label += off ? kOffLabelSuffix : "";
        rule.points = framePoints(figure["points"], kMargin, imageTop);
        if (rule.points.size() >= (rule.isLine ? 2u : 3u))
            rules->push_back(std::move(rule));
    }
}

std::string pointList(const std::vector<Point>& points)
{
    std::string result;
    for (const Point& point : points)
        result += (result.empty() ? "" : " ") + number(point.x) + "," + number(point.y);
    return result;
}

// ` stroke-dasharray="..."` for a rule whose kind is switched off.
std::string dashes(bool off)
{
    return off ? attribute("stroke-dasharray", kOffDashes) : "";
}

// An open line through the points in the colour.
std::string polyline(const std::vector<Point>& points, const std::string& color, double width,
                     bool off = false)
{
    return "<polyline" + attribute("stroke", color) + attribute("stroke-width", width) +
           dashes(off) + attribute("points", pointList(points)) + "/>\n";
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

// The rule's line and arrow, or its area.
std::string ruleShape(const Rule& rule)
{
    if (rule.isLine)
        return polyline(rule.points, rule.color, 3, rule.off) + arrow(rule);
    return "<polygon" + attribute("fill", rule.color) +
           attribute("fill-opacity", rule.off ? 0.1 : 0.25) + attribute("stroke", rule.color) +
           attribute("stroke-width", 2) + dashes(rule.off) +
           attribute("points", pointList(rule.points)) + "/>\n";
}

// The rules' labels, each in its colour, no two sharing a box: in the image where there is
// room, else one per row under the frame from `belowTop` on; the height of those rows in
// `*extra`.
std::string ruleLabels(const std::vector<Rule>& rules, double imageTop, double belowTop,
                       double* extra)
{
    LabelLayout layout({kMargin, imageTop, kImageWidth, kImageHeight}, kLabelSize, belowTop);
    std::string svg;
    for (const Rule& rule : rules)
    {
        const PlacedLabel label = layout.place(rule.label, rule.points[0].x, rule.points[0].y);
        svg += textAt(label.x, label.y, label.alignEnd ? "label end" : "label", label.text,
                      attribute("fill", rule.color));
    }
    *extra = layout.belowHeight();
    return svg;
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

// What the frame says when it has no rule to draw.
const char* emptyFrameNote(CameraRuleSettings::Status status)
{
    switch (status)
    {
        case CameraRuleSettings::Status::kNoSession:
            return "no session";
        case CameraRuleSettings::Status::kReadFailed:
            return "rules could not be read";
        default:
            return "no enabled rules";
    }
}

// The camera's frame at `top`; its height in `*height`.
std::string cameraFrame(const CameraRuleSettings& camera, double top, double* height)
{
    const double imageTop = top + kTitleHeight;
    std::string frame = "<g>\n" + textAt(kMargin, top + 17, "title", camera.camera) +
                        "<rect class=\"image\"" + attribute("x", kMargin) +
                        attribute("y", imageTop) + attribute("width", kImageWidth) +
                        attribute("height", kImageHeight) + "/>\n";
    std::vector<Rule> rules;
    if (camera.status == CameraRuleSettings::Status::kRead)
    {
        for (const KindLook& look : kKindLooks)
            addDrawableRules(camera.values, look, imageTop, &rules);
    }
    for (const Rule& rule : rules)
        frame += ruleShape(rule);
    if (rules.empty())
    {
        frame += textAt(kMargin + kImageWidth / 2, imageTop + kImageHeight / 2, "note",
                        emptyFrameNote(camera.status));
    }
    const std::string caption = switchesCaption(camera.values);
    if (!caption.empty())
        frame += textAt(kMargin, imageTop + kImageHeight + 15, "caption", caption);
    double extra = 0;
    frame += ruleLabels(rules, imageTop, top + kBlockHeight, &extra);
    *height = kBlockHeight + extra;
    return frame + "</g>\n";
}

// The kinds' default colours and how a kind switched off on the camera looks, in two rows.
std::string legend(double top)
{
    constexpr double kCaptionSize = 11;
    const auto swatch = [](double x, double y, const std::string& color, bool off)
    {
        return "<rect" + attribute("x", x) + attribute("y", y - 9) + attribute("width", 22) +
               attribute("height", 10) + attribute("fill", color) +
               attribute("fill-opacity", off ? 0.1 : 0.25) + attribute("stroke", color) +
               attribute("stroke-width", 2) + dashes(off) + "/>\n";
    };
    std::string svg = "<g class=\"legend\">\n";
    double x = kMargin;
    const double y = top + 12;
    for (const KindLook& look : kKindLooks)
    {
        double width = 0;
        const std::string title = ruleKindInfo(look.kind).section.title;
        fittedText(title, kCaptionSize, kImageWidth, &width);
        svg += swatch(x, y, look.color, false) + textAt(x + 28, y, "caption", title);
        x += 28 + width + 16;
    }
    const double offY = y + kLegendRowHeight;
    return svg + swatch(kMargin, offY, kOffColor, true) +
           textAt(kMargin + 28, offY, "caption",
                  "dashed, grey, \"(off)\": the kind is switched off on the camera") +
           "</g>\n";
}

std::string document(const std::vector<CameraRuleSettings>& cameras)
{
    const double width = 2 * kMargin + kImageWidth;
    std::string frames;
    double top = kMargin + kLegendHeight + kMargin / 2;
    for (const CameraRuleSettings& camera : cameras)
    {
        double height = 0;
        frames += cameraFrame(camera, top, &height);
        top += height + kMargin;
    }
    const double height = top;
    const std::string size = attribute("width", width) + attribute("height", height);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" +
           size + attribute("viewBox", "0 0 " + number(width) + " " + number(height)) + ">\n" +
           kStyle + "<rect fill=\"#ffffff\"" + size + "/>\n" + legend(kMargin) + frames +
           "</svg>\n";
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
