// The rule value encodings, the coordinate conversion and the figure text codec.

#include "plugin/rules/rule_figure.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace nx::vms_server_plugins::analytics::sample
{
namespace
{

RulePoint point(uint32_t x, uint32_t y)
{
    RulePoint p{};
    p.x = x;
    p.y = y;
    return p;
}

AreaRule areaWithCorners(int32_t count)
{
    AreaRule rule{};
    rule.enabled = 1;
    rule.pointCount = count;
    for (int i = 0; i < kOstrelAreaPointCapacity; ++i)
        rule.points[i] = point(625 * (i + 1), 1250 * (i + 1));
    rule.priority = 77;  // the field right after the corners
    return rule;
}

TEST(RuleFigureTest, CoordinatesConvertByDivisionAndTruncation)
{
    EXPECT_EQ(0.5, toNormalisedCoordinate(5000));
    EXPECT_EQ(0.25, toNormalisedCoordinate(2500));
    EXPECT_EQ(1e-4, toNormalisedCoordinate(1));
    EXPECT_EQ(3333u, toCameraUnits(0.33333));
    EXPECT_EQ(10000u, toCameraUnits(1.0));
    EXPECT_EQ(9999u, toCameraUnits(0.99999));
    EXPECT_EQ(0u, toCameraUnits(0.00001));
}

TEST(RuleFigureTest, CoordinatesOutsideTheImageAreClampedAndNanIsZero)
{
    EXPECT_EQ(0u, toCameraUnits(-0.5));
    EXPECT_EQ(10000u, toCameraUnits(1.5));
    EXPECT_EQ(10000u, toCameraUnits(1e300));
    EXPECT_EQ(0u, toCameraUnits(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(10000u, toCameraUnits(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(0u, toCameraUnits(-std::numeric_limits<double>::infinity()));
}

TEST(RuleFigureTest, EnabledPriorityDirectionAndFilterEncodings)
{
    EXPECT_STREQ("true", enabledText(1));
    EXPECT_STREQ("true", enabledText(-3));
    EXPECT_STREQ("false", enabledText(0));
    EXPECT_EQ(0, enabledFromText("false"));
    for (const char* on : {"true", "", "False", "0", " false"})
        EXPECT_EQ(1, enabledFromText(on)) << on;

    EXPECT_STREQ("high", priorityText(0));
    EXPECT_STREQ("mid", priorityText(1));
    EXPECT_STREQ("low", priorityText(2));
    EXPECT_STREQ("low", priorityText(9));
    EXPECT_STREQ("low", priorityText(-1));
    int32_t priority = 9;
    for (const char* unchanged : {"HIGH", "", "medium", "low "})
    {
        applyPriorityText(unchanged, &priority);
        EXPECT_EQ(9, priority) << unchanged;
    }
    applyPriorityText("mid", &priority);
    EXPECT_EQ(1, priority);
    applyPriorityText("low", &priority);
    EXPECT_EQ(2, priority);
    applyPriorityText("high", &priority);
    EXPECT_EQ(0, priority);

    EXPECT_STREQ("absent", directionText(0));
    EXPECT_STREQ("left", directionText(1));
    EXPECT_STREQ("right", directionText(2));
    EXPECT_STREQ("right", directionText(7));
    EXPECT_EQ(1, directionFromText("left"));
    EXPECT_EQ(2, directionFromText("right"));
    EXPECT_EQ(0, directionFromText("Left"));
    EXPECT_EQ(0, directionFromText("absent"));

    EXPECT_STREQ(".Vehicle", filterSuffix(0));
    EXPECT_STREQ(".Non-motor-vehicle", filterSuffix(1));
    EXPECT_STREQ(".Person", filterSuffix(2));
    EXPECT_EQ(nullptr, filterSuffix(3));
    EXPECT_EQ(nullptr, filterSuffix(-1));
}

TEST(RuleFigureTest, LineFigureTextIsTheCompactSortedDump)
{
    LineRule rule{};
    rule.direction = 7;
    rule.startPoint = point(5000, 2500);
    rule.endPoint = point(10000, 0);
    RuleCacheEntry entry;
    EXPECT_EQ(R"({"figure": {"color": "", "direction": "right", "points": [[0.5, 0.25], [1, 0]]}, )"
              R"("label": "Cross Line-1", "showOnCamera": false})",
              encodeFigure(rule, entry, 1));

    entry.color = "#ff0000";
    entry.label = "Gate";
    entry.showOnCamera = true;
    rule.direction = 1;
    EXPECT_EQ(
        R"({"figure": {"color": "#ff0000", "direction": "left", "points": [[0.5, 0.25], [1, 0]]}, )"
        R"("label": "Gate", "showOnCamera": true})",
        encodeFigure(rule, entry, 1));
}

TEST(RuleFigureTest, AreaFigureTextHasTheReportedCornersAndTheKindsDefaultLabel)
{
    const RuleCacheEntry entry;
    EXPECT_EQ(
        R"({"figure": {"color": "", "points": [[0.0625, 0.125], [0.125, 0.25], [0.1875, 0.375], )"
        R"([0.25, 0.5]]}, "label": "Enter Area-2", "showOnCamera": false})",
        encodeFigure(RuleKind::kEnterArea, areaWithCorners(4), entry, 2));
    EXPECT_EQ(R"({"figure": {"color": "", "points": []}, "label": "Intrusion Area-4", )"
              R"("showOnCamera": false})",
              encodeFigure(RuleKind::kIntrusion, areaWithCorners(-2), entry, 4));
    // A count beyond the record's six corners shows the six it has.
    const std::string six = encodeFigure(RuleKind::kLeaveArea, areaWithCorners(40), entry, 3);
    EXPECT_NE(std::string::npos, six.find("[0.375, 0.75]]}")) << six;
    EXPECT_NE(std::string::npos, six.find("\"Leave Area-3\"")) << six;
}

TEST(RuleFigureTest, LineFigureDecodesDirectionPointsAndCacheFields)
{
    LineRule rule{};
    rule.enabled = 1;
    rule.direction = 2;
    RuleCacheEntry entry;
    decodeFigure(R"({"figure": {"color": "blue", "direction": "left", )"
                 R"("points": [[0.33333, 1.0], [0.99999, 0.00001]]}, "label": "North", )"
                 R"("showOnCamera": true})",
                 &rule, &entry);
    EXPECT_EQ(1, rule.enabled);
    EXPECT_EQ(1, rule.direction);
    EXPECT_EQ(3333u, rule.startPoint.x);
    EXPECT_EQ(10000u, rule.startPoint.y);
    EXPECT_EQ(9999u, rule.endPoint.x);
    EXPECT_EQ(0u, rule.endPoint.y);
    EXPECT_EQ("blue", entry.color);
    EXPECT_EQ("North", entry.label);
    EXPECT_TRUE(entry.showOnCamera);

    // A capitalised direction is no direction; a non-string one keeps the camera's value.
    decodeFigure(R"({"figure": {"direction": "Left", "points": []}})", &rule, &entry);
    EXPECT_EQ(0, rule.direction);
    rule.direction = 2;
    decodeFigure(R"({"figure": {"direction": 1, "color": 5}})", &rule, &entry);
    EXPECT_EQ(2, rule.direction);
    EXPECT_EQ("", entry.color);
    EXPECT_EQ("", entry.label);
    EXPECT_FALSE(entry.showOnCamera);
}

TEST(RuleFigureTest, MalformedAndMissingLinePointsAreTheOrigin)
{
    LineRule rule{};
    RuleCacheEntry entry;
    rule.startPoint = point(1, 2);
    rule.endPoint = point(3, 4);
    decodeFigure(R"({"figure": {"points": [[0.5, 0.5]]}})", &rule, &entry);
    EXPECT_EQ(5000u, rule.startPoint.x);
    EXPECT_EQ(5000u, rule.startPoint.y);
    EXPECT_EQ(0u, rule.endPoint.x);
    EXPECT_EQ(0u, rule.endPoint.y);

    rule.startPoint = point(1, 2);
    rule.endPoint = point(3, 4);
    decodeFigure(R"({"figure": {"points": [[0.5, 0.5, 0.5], ["a", 0.5]]}})", &rule, &entry);
    EXPECT_EQ(0u, rule.startPoint.x);
    EXPECT_EQ(0u, rule.startPoint.y);
    EXPECT_EQ(0u, rule.endPoint.x);
    EXPECT_EQ(5000u, rule.endPoint.y);

    decodeFigure(R"({"figure": {"points": [[-3, 2], [1e300, -1e300]]}})", &rule, &entry);
    EXPECT_EQ(0u, rule.startPoint.x);
    EXPECT_EQ(10000u, rule.startPoint.y);
    EXPECT_EQ(10000u, rule.endPoint.x);
    EXPECT_EQ(0u, rule.endPoint.y);
}

TEST(RuleFigureTest, TextWithoutFigureSwitchesTheRuleOffAndKeepsGeometry)
{
    for (const char* text : {"{}", "", "not json", "[1, 2]", R"({"figure": null, "label": "L"})",
                             R"({"figure": {"points": []}} trailing)"})
    {
        LineRule line{};
        line.enabled = 1;
        line.direction = 1;
        line.startPoint = point(10, 20);
        RuleCacheEntry entry;
        entry.color = "red";
        entry.label = "old";
        entry.showOnCamera = true;
        decodeFigure(text, &line, &entry);
        EXPECT_EQ(0, line.enabled) << text;
        EXPECT_EQ(1, line.direction) << text;
        EXPECT_EQ(10u, line.startPoint.x) << text;
        EXPECT_EQ("red", entry.color) << text;
        EXPECT_EQ(std::string(text).find("\"L\"") != std::string::npos ? "L" : "", entry.label)
            << text;
        EXPECT_FALSE(entry.showOnCamera) << text;

        AreaRule area = areaWithCorners(5);
        decodeFigure(text, &area, &entry);
        EXPECT_EQ(0, area.enabled) << text;
        EXPECT_EQ(5, area.pointCount) << text;
        EXPECT_EQ(625u, area.points[0].x) << text;
    }
}

TEST(RuleFigureTest, AreaCornersAreOverwrittenOnlyByTwoNumbers)
{
    AreaRule rule = areaWithCorners(6);
    RuleCacheEntry entry;
    decodeFigure(R"({"figure": {"color": "c", "points": [[0.5, 0.5], [0.1, 0.2, 0.3], [0.5], )"
                 R"(["x", 0.5]]}, "label": "A", "showOnCamera": true})",
                 &rule, &entry);
    EXPECT_EQ(4, rule.pointCount);
    EXPECT_EQ(5000u, rule.points[0].x);
    EXPECT_EQ(1000u, rule.points[1].x);
    EXPECT_EQ(2000u, rule.points[1].y);
    EXPECT_EQ(1875u, rule.points[2].x);  // one member: the camera's corner stays
    EXPECT_EQ(2500u, rule.points[3].x);  // not a number: likewise
    EXPECT_EQ(3125u, rule.points[4].x);  // beyond the new count: kept in the record
    EXPECT_EQ(1, rule.enabled);
    EXPECT_EQ("c", entry.color);
    EXPECT_EQ("A", entry.label);
    EXPECT_TRUE(entry.showOnCamera);

    // Without "points" the polygon and its count stay; the cache fields still change.
    rule = areaWithCorners(3);
    decodeFigure(R"({"figure": {"color": "d"}, "label": "B"})", &rule, &entry);
    EXPECT_EQ(3, rule.pointCount);
    EXPECT_EQ(625u, rule.points[0].x);
    EXPECT_EQ("d", entry.color);
    EXPECT_EQ("B", entry.label);
    EXPECT_FALSE(entry.showOnCamera);
}

TEST(RuleFigureTest, TextDecodedAgainThroughTheSameEntryIsAppliedAgain)
{
    const std::string first = R"({"figure": {"color": "c", "points": [[0.5, 0.5]]}, "label": "A"})";
    const std::string second = R"({"figure": {"points": [[0.25, 0.75]]}, "showOnCamera": true})";
    RuleCacheEntry entry;
    for (const std::string* text : {&first, &first, &second, &first})
    {
        AreaRule rule = areaWithCorners(3);
        entry.color = entry.label = "stale";
        entry.showOnCamera = text == &first;
        decodeFigure(*text, &rule, &entry);
        const bool isFirst = text == &first;
        EXPECT_EQ(isFirst ? 5000u : 2500u, rule.points[0].x);
        EXPECT_EQ(isFirst ? 5000u : 7500u, rule.points[0].y);
        EXPECT_EQ(isFirst ? "c" : "", entry.color);
        EXPECT_EQ(isFirst ? "A" : "", entry.label);
        EXPECT_EQ(!isFirst, entry.showOnCamera);
    }
}

TEST(RuleFigureTest, MoreThanSixAreaPointsWriteTheFirstSix)
{
    AreaRule rule = areaWithCorners(3);
    RuleCacheEntry entry;
    decodeFigure(R"({"figure": {"points": [[0.1, 0.1], [0.2, 0.2], [0.3, 0.3], [0.4, 0.4], )"
                 R"([0.5, 0.5], [0.6, 0.6], [0.7, 0.7], [0.8, 0.8]]}})",
                 &rule, &entry);
    EXPECT_EQ(6, rule.pointCount);
    EXPECT_EQ(1000u, rule.points[0].x);
    EXPECT_EQ(6000u, rule.points[5].y);
    EXPECT_EQ(77, rule.priority);  // the field after the corners is untouched
}

TEST(RuleFigureTest, EncodedFigureDecodesToTheSameGeometry)
{
    LineRule rule{};
    rule.enabled = 1;
    rule.direction = 2;
    rule.startPoint = point(5000, 2500);
    rule.endPoint = point(1250, 10000);
    RuleCacheEntry entry;
    entry.label = "Gate";
    entry.color = "#00ff00";
    const std::string text = encodeFigure(rule, entry, 1);

    LineRule decoded{};
    RuleCacheEntry decodedEntry;
    decodeFigure(text, &decoded, &decodedEntry);
    EXPECT_EQ(2, decoded.direction);
    EXPECT_EQ(5000u, decoded.startPoint.x);
    EXPECT_EQ(2500u, decoded.startPoint.y);
    EXPECT_EQ(1250u, decoded.endPoint.x);
    EXPECT_EQ(10000u, decoded.endPoint.y);
    EXPECT_EQ("Gate", decodedEntry.label);
    EXPECT_EQ("#00ff00", decodedEntry.color);
}

}  // namespace
}  // namespace nx::vms_server_plugins::analytics::sample
