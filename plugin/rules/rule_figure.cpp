#include "rule_figure.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <nx/kit/json.h>

namespace nx::vms_server_plugins::analytics::sample
{

using nx::kit::Json;

double toNormalisedCoordinate(uint32_t cameraUnits)
{
    return cameraUnits / cameraUnitsPerUnit;
}

uint32_t toCameraUnits(double value)
{
    // Casting NaN or a negative value to an unsigned unit is undefined; clamp first.
    if (std::isnan(value))
        value = 0.0;
    value = std::clamp(value, 0.0, 1.0);
    return static_cast<uint32_t>(value * cameraUnitsPerUnit);
}

const char* enabledText(int32_t enabled)
{
    return enabled != 0 ? "true" : "false";
}

int32_t enabledFromText(const std::string& text)
{
    return text == "false" ? 0 : 1;
}

const char* priorityText(int32_t priority)
{
    switch (priority)
    {
        case 0:
            return "high";
        case 1:
            return "mid";
        default:
            return "low";
    }
}

void applyPriorityText(const std::string& text, int32_t* priority)
{
    static const char* const kPriorities[] = {"high", "mid", "low"};
    for (int32_t code = 0; code < 3; ++code)
    {
        if (text == kPriorities[code])
            *priority = code;
    }
}

const char* directionText(int32_t direction)
{
    switch (direction)
    {
        case 0:
            return "absent";
        case 1:
            return "left";
        default:
            return "right";
    }
}

int32_t directionFromText(const std::string& text)
{
    if (text == "left")
        return 1;
    if (text == "right")
        return 2;
    return 0;
}

const char* filterSuffix(int32_t filterType)
{
    switch (filterType)
    {
        case kOstrelFilterMotorVehicle:
            return kVehicleSuffix;
        case kOstrelFilterNonMotorVehicle:
            return kNonMotorVehicleSuffix;
        case kOstrelFilterPerson:
            return kPersonSuffix;
        default:
            return nullptr;
    }
}

namespace
{

Json pointJson(const RulePoint& point)
{
    return Json(Json::Array{toNormalisedCoordinate(point.x), toNormalisedCoordinate(point.y)});
}

std::string labelOf(RuleKind kind, const RuleCacheEntry& entry, int number)
{
    if (!entry.label.empty())
        return entry.label;
    return ruleKindInfo(kind).defaultLabelPrefix + std::to_string(number);
}

std::string dumpFigure(RuleKind kind, Json::Object figure, const RuleCacheEntry& entry, int number)
{
    figure["color"] = entry.color;
    const Json::Object outer = {{"figure", Json(std::move(figure))},
                                {"label", labelOf(kind, entry, number)},
                                {"showOnCamera", entry.showOnCamera}};
    return Json(outer).dump();
}

// The text's outer object; one without members when the text does not parse or is no
// object. Parsed only when the text differs from the one the entry last decoded.
Json parsedFigureText(const std::string& text, RuleCacheEntry* entry)
{
    if (!entry->parsedFigure.isObject() || entry->figureText != text)
    {
        std::string error;
        Json parsed = Json::parse(text, &error);
        entry->parsedFigure = parsed.isObject() ? std::move(parsed) : Json(Json::Object{});
        entry->figureText = text;
    }
    return entry->parsedFigure;
}

// Takes the outer label and flag; both are replaced whether or not a figure is present.
void decodeOuter(const Json& outer, RuleCacheEntry* entry)
{
    entry->label = outer["label"].stringValue();
    entry->showOnCamera = outer["showOnCamera"].boolValue();
}

// A line point: an array of exactly two members, else (0, 0); non-numbers count 0.
void decodeLinePoint(const Json& item, RulePoint* point)
{
    const Json::Array& members = item.arrayItems();
    const bool valid = members.size() == 2;
    point->x = toCameraUnits(valid ? members[0].numberValue() : 0.0);
    point->y = toCameraUnits(valid ? members[1].numberValue() : 0.0);
}

// An area corner: an array of at least two numbers overwrites it, anything else keeps it.
void decodeAreaPoint(const Json& item, RulePoint* point)
{
    const Json::Array& members = item.arrayItems();
    if (members.size() < 2 || !members[0].isNumber() || !members[1].isNumber())
        return;
    point->x = toCameraUnits(members[0].numberValue());
    point->y = toCameraUnits(members[1].numberValue());
}

}  // namespace

std::string encodeFigure(const LineRule& rule, const RuleCacheEntry& entry, int number)
{
    Json::Object figure;
    figure["points"] = Json::Array{pointJson(rule.startPoint), pointJson(rule.endPoint)};
    figure["direction"] = directionText(rule.direction);
    return dumpFigure(RuleKind::kLineCross, std::move(figure), entry, number);
}

std::string encodeFigure(RuleKind kind, const AreaRule& rule, const RuleCacheEntry& entry,
                         int number)
{
    const int32_t count = std::clamp(rule.pointCount, 0, kOstrelAreaPointCapacity);
    Json::Array points;
    for (int32_t i = 0; i < count; ++i)
        points.push_back(pointJson(rule.points[i]));
    Json::Object figure;
    figure["points"] = std::move(points);
    return dumpFigure(kind, std::move(figure), entry, number);
}

void decodeFigure(const std::string& text, LineRule* rule, RuleCacheEntry* entry)
{
    const Json outer = parsedFigureText(text, entry);
    const Json& figure = outer["figure"];
    if (figure.isNull())
    {
        rule->enabled = 0;
    }
    else
    {
        if (figure["direction"].isString())
            rule->direction = directionFromText(figure["direction"].stringValue());
        entry->color = figure["color"].stringValue();
        const Json& points = figure["points"];
        if (points.isArray())
        {
            decodeLinePoint(points[0], &rule->startPoint);
            decodeLinePoint(points[1], &rule->endPoint);
        }
    }
    decodeOuter(outer, entry);
}

void decodeFigure(const std::string& text, AreaRule* rule, RuleCacheEntry* entry)
{
    const Json outer = parsedFigureText(text, entry);
    const Json& figure = outer["figure"];
    if (figure.isNull())
    {
        rule->enabled = 0;
    }
    else
    {
        entry->color = figure["color"].stringValue();
        const Json& points = figure["points"];
        if (points.isArray())
        {
            // The record has room for six corners; further items are ignored.
            const std::size_t count = std::min(points.arrayItems().size(),
                                               static_cast<std::size_t>(kOstrelAreaPointCapacity));
            for (std::size_t i = 0; i < count; ++i)
                decodeAreaPoint(points[i], &rule->points[i]);
            rule->pointCount = static_cast<int32_t>(count);
        }
    }
    decodeOuter(outer, entry);
}

}  // namespace nx::vms_server_plugins::analytics::sample
