#include "capture_records.h"

#include <algorithm>
#include <cstring>

#include "sdk_recorder/capture_text.h"

namespace korvane::sdk_recorder
{

using nx::kit::Json;

namespace
{

// The most items read from a caller's array whose length only a count gives: a bound on
// what a wrong count can make the recorder read.
constexpr int32_t kMostItemsRead = 1024;

int32_t clampCount(int32_t count, int32_t most)
{
    return std::clamp(count, 0, most);
}

Json number(int64_t value)
{
    return Json(static_cast<double>(value));
}

Json pointJson(const RulePoint& point)
{
    return Json(Json::Array{number(point.x), number(point.y)});
}

Json filtersJson(const ObjectFilter* filters, int32_t filled, int32_t capacity)
{
    Json::Array items;
    const int32_t count = filters ? std::min(clampCount(filled, kMostItemsRead), capacity) : 0;
    for (int32_t i = 0; i < count; ++i)
    {
        const ObjectFilter& filter = filters[i];
        items.push_back(Json(Json::Object{
            {"type", Json(filter.objectType)},
            {"enabled", Json(filter.enabled)},
            {"firstParameters", byteArrayOf(filter.firstParameters, sizeof filter.firstParameters)},
            {"secondParameters",
             byteArrayOf(filter.secondParameters, sizeof filter.secondParameters)}}));
    }
    return Json(std::move(items));
}

// The members that line and area rules share.
template <class Rule>
Json::Object commonRuleMembers(const Rule& rule, int32_t filterCapacity)
{
    return Json::Object{{"ruleIndex", Json(rule.ruleIndex)},
                        {"enabled", Json(rule.enabled)},
                        {"sensitivity", number(rule.sensitivity)},
                        {"priority", Json(rule.priority)},
                        {"filterCount", Json(rule.filterCount)},
                        {"filters", filtersJson(rule.filters, rule.filterCount, filterCapacity)}};
}

template <class RuleSet>
FilterCapacities capacitiesOf(const RuleSet& rules)
{
    FilterCapacities capacities;
    for (int32_t i = 0; i < kOstrelRuleSlots; ++i)
        capacities.perRule[i] = clampCount(rules.rules[i].filterCount, kMostItemsRead);
    return capacities;
}

template <class RuleSet, class RuleToJson>
Json ruleSetJson(const RuleSet& rules, const RuleToJson& ruleToJson)
{
    Json::Array items;
    const int32_t count = clampCount(rules.ruleCount, kOstrelRuleSlots);
    for (int32_t i = 0; i < count; ++i)
        items.push_back(ruleToJson(rules.rules[i], i));
    return Json(Json::Object{{"count", Json(rules.ruleCount)}, {"rules", Json(std::move(items))}});
}

Json codesJson(const int32_t* codes, int32_t count, int32_t most)
{
    Json::Array items;
    const int32_t n = codes ? clampCount(count, most) : 0;
    for (int32_t i = 0; i < n; ++i)
        items.emplace_back(codes[i]);
    return Json(std::move(items));
}

uint32_t capabilityAt(const uint8_t* block, int32_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

}  // namespace

FilterCapacities filterCapacitiesOf(const LineRuleSet& rules)
{
    return capacitiesOf(rules);
}

FilterCapacities filterCapacitiesOf(const AreaRuleSet& rules)
{
    return capacitiesOf(rules);
}

void addLoginRequest(const OstrelLoginRecord& login, Json::Object* record)
{
    putText(record, "address", login.address, sizeof login.address);
    (*record)["port"] = Json(login.port);
    putText(record, "loginName", login.loginName, sizeof login.loginName);
    (*record)["password"] = Json(login.password[0] != '\0' ? "given" : "empty");
    (*record)["loginMode"] = Json(login.loginMode);
}

Json loginResultJson(const OstrelLoginResult& result)
{
    Json::Object members{{"channelCount", Json(result.channelCount)},
                         {"startChannel", Json(result.startChannel)}};
    putText(&members, "serialNumber", result.serialNumber, sizeof result.serialNumber);
    return Json(std::move(members));
}

Json channelListJson(const OstrelChannelRecord* channels, int32_t count)
{
    Json::Array items;
    const int32_t n = channels ? clampCount(count, kMostItemsRead) : 0;
    for (int32_t i = 0; i < n; ++i)
    {
        Json::Object members{{"channel", Json(channels[i].channel)},
                             {"online", Json(channels[i].online)}};
        putText(&members, "name", channels[i].name, sizeof channels[i].name);
        items.push_back(Json(std::move(members)));
    }
    return Json(std::move(items));
}

Json deviceConfigJson(int32_t command, const void* buffer, int32_t size)
{
    const auto* block = static_cast<const uint8_t*>(buffer);
    const int32_t n = block ? std::max(size, 0) : 0;
    if (command != kOstrelConfigSmartCapabilities)
        return Json(Json::Object{{"data", Json(hexOf(block, static_cast<size_t>(n)))}});
    Json::Object capabilities;
    const std::pair<const char*, int32_t> kFields[] = {
        {"lineCross", kOstrelLineCrossCapabilityOffset},
        {"intrusion", kOstrelIntrusionCapabilityOffset},
        {"enterArea", kOstrelEnterAreaCapabilityOffset},
        {"leaveArea", kOstrelLeaveAreaCapabilityOffset}};
    for (const auto& [name, offset] : kFields)
    {
        if (offset + 4 <= n)
            capabilities[name] = number(capabilityAt(block, offset));
    }
    return Json(Json::Object{{"capabilities", Json(std::move(capabilities))}});
}

Json alarmJson(const OstrelAlarmRecord& alarm)
{
    return Json(Json::Object{{"channel", Json(alarm.channel)},
                             {"alarmType", Json(alarm.alarmType)},
                             {"alarmTime", number(alarm.alarmTime)}});
}

namespace
{

Json faceJson(const OstrelFaceRecord& f)
{
    return Json(Json::Object{{"gender", Json(f.gender)},
                             {"age", Json(f.age)},
                             {"glassFlag", Json(f.glassFlag)},
                             {"glassesStyle", Json(f.glassesStyle)},
                             {"maskFlag", Json(f.maskFlag)},
                             {"emotion", Json(f.emotion)},
                             {"smile", Json(f.smile)},
                             {"skinColor", Json(f.skinColor)},
                             {"beard", Json(f.beard)},
                             {"hatStyle", Json(f.hatStyle)},
                             {"hatColor", Json(f.hatColor)}});
}

Json personJson(const OstrelPersonRecord& p)
{
    return Json(Json::Object{{"gender", Json(p.gender)},
                             {"age", Json(p.age)},
                             {"sleevesLength", Json(p.sleevesLength)},
                             {"topClothingColor", Json(p.topClothingColor)},
                             {"trousersLength", Json(p.trousersLength)},
                             {"bottomClothingColor", Json(p.bottomClothingColor)},
                             {"bodyToward", Json(p.bodyToward)},
                             {"shoesTubeLength", Json(p.shoesTubeLength)},
                             {"hairLength", Json(p.hairLength)},
                             {"bagFlag", Json(p.bagFlag)},
                             {"mask", Json(p.mask)},
                             {"coatTexture", Json(p.coatTexture)},
                             {"movingDirection", Json(p.movingDirection)}});
}

Json vehicleJson(const OstrelVehicleRecord& v)
{
    Json::Object members{
        {"vehicleType", Json(v.vehicleType)}, {"vehicleColor", Json(v.vehicleColor)},
        {"speedUnit", Json(v.speedUnit)},     {"speed", Json(static_cast<double>(v.speed))},
        {"plateColor", Json(v.plateColor)},   {"plateType", Json(v.plateType)}};
    putText(&members, "plateNumber", v.plateNumber, sizeof v.plateNumber);
    return Json(std::move(members));
}

template <class Record, class ToJson>
Json recordsJson(const Record* records, uint32_t count, const ToJson& toJson)
{
    Json::Array items;
    const uint32_t n = records ? count : 0;
    items.reserve(n);
    for (uint32_t i = 0; i < n; ++i)
        items.push_back(toJson(records[i]));
    return Json(std::move(items));
}

}  // namespace

Json structuredJson(const OstrelStructuredRecord& record)
{
    return Json(
        Json::Object{{"faces", recordsJson(record.faces, record.faceCount, faceJson)},
                     {"persons", recordsJson(record.persons, record.personCount, personJson)},
                     {"vehicles", recordsJson(record.vehicles, record.vehicleCount, vehicleJson)}});
}

Json lineRuleSetJson(const LineRuleSet& rules, const FilterCapacities& capacities)
{
    return ruleSetJson(rules,
                       [&](const LineRule& rule, int32_t slot)
                       {
                           Json::Object members = commonRuleMembers(rule, capacities.perRule[slot]);
                           members["direction"] = Json(rule.direction);
                           members["start"] = pointJson(rule.startPoint);
                           members["end"] = pointJson(rule.endPoint);
                           return Json(std::move(members));
                       });
}

Json areaRuleSetJson(const AreaRuleSet& rules, const FilterCapacities& capacities)
{
    return ruleSetJson(rules,
                       [&](const AreaRule& rule, int32_t slot)
                       {
                           Json::Object members = commonRuleMembers(rule, capacities.perRule[slot]);
                           members["timeThreshold"] = number(rule.timeThreshold);
                           members["pointCount"] = Json(rule.pointCount);
                           Json::Array points;
                           const int32_t n = clampCount(rule.pointCount, kOstrelAreaPointCapacity);
                           for (int32_t p = 0; p < n; ++p)
                               points.push_back(pointJson(rule.points[p]));
                           members["points"] = Json(std::move(points));
                           return Json(std::move(members));
                       });
}

Json switchListJson(const RuleSwitchList& switches)
{
    return Json(Json::Object{
        {"enabledTypes",
         codesJson(switches.enabledTypes, switches.enabledCount, kOstrelSwitchListCapacity)},
        {"disabledTypes",
         codesJson(switches.disabledTypes, switches.disabledCount, kOstrelSwitchListCapacity)}});
}

CombinationCapacities combinationCapacitiesOf(const RuleCombinationList& list)
{
    CombinationCapacities capacities;
    capacities.groups = list.groups ? clampCount(list.groupCount, kOstrelCombinationCapacity) : 0;
    for (int32_t i = 0; i < capacities.groups; ++i)
        capacities.typesPerGroup[i] = clampCount(list.groups[i].typeCount, kMostItemsRead);
    return capacities;
}

Json combinationListJson(const RuleCombinationList& list, const CombinationCapacities& capacities)
{
    Json::Array groups;
    const int32_t n = std::min(clampCount(list.groupCount, kMostItemsRead), capacities.groups);
    for (int32_t i = 0; i < n; ++i)
    {
        const RuleCombination& group = list.groups[i];
        groups.push_back(codesJson(
            group.types, std::min(group.typeCount, capacities.typesPerGroup[i]), kMostItemsRead));
    }
    return Json(Json::Object{{"combinations", Json(std::move(groups))}});
}

}  // namespace korvane::sdk_recorder
