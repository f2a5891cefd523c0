#include "camera_records.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

int32_t code(const Json& object, const char* key)
{
    return static_cast<int32_t>(object[key].numberValue());
}

// A text field: its raw bytes when a capture gave them in hexadecimal under key + "Hex"
// (a text that is not UTF-8), otherwise the text.
std::string textOf(const Json& object, const std::string& key)
{
    const std::string& hex = object[key + "Hex"].stringValue();
    if (hex.empty())
        return object[key].stringValue();
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

}  // namespace

ostrel::control::StructuredBatch batchOf(const Json& step)
{
    ostrel::control::StructuredBatch batch;
    for (const Json& f : step["faces"].arrayItems())
    {
        batch.faces.push_back({code(f, "gender"), code(f, "age"), code(f, "glassFlag"),
                               code(f, "glassesStyle"), code(f, "maskFlag"), code(f, "emotion"),
                               code(f, "smile"), code(f, "skinColor"), code(f, "beard"),
                               code(f, "hatStyle"), code(f, "hatColor")});
    }
    for (const Json& p : step["persons"].arrayItems())
    {
        batch.persons.push_back({code(p, "gender"), code(p, "age"), code(p, "sleevesLength"),
                                 code(p, "topClothingColor"), code(p, "trousersLength"),
                                 code(p, "bottomClothingColor"), code(p, "bodyToward"),
                                 code(p, "shoesTubeLength"), code(p, "hairLength"),
                                 code(p, "bagFlag"), code(p, "mask"), code(p, "coatTexture"),
                                 code(p, "movingDirection")});
    }
    for (const Json& v : step["vehicles"].arrayItems())
    {
        ostrel::control::VehicleCodes vehicle;
        vehicle.vehicleType = code(v, "vehicleType");
        vehicle.vehicleColor = code(v, "vehicleColor");
        vehicle.speedUnit = code(v, "speedUnit");
        vehicle.speed = static_cast<float>(v["speed"].numberValue());
        vehicle.plateNumber = textOf(v, "plateNumber");
        vehicle.plateColor = code(v, "plateColor");
        vehicle.plateType = code(v, "plateType");
        batch.vehicles.push_back(vehicle);
    }
    return batch;
}

namespace
{

RulePoint pointOf(const Json& point)
{
    RulePoint result{};
    result.x = static_cast<uint32_t>(point[0].numberValue());
    result.y = static_cast<uint32_t>(point[1].numberValue());
    return result;
}

// Up to `size` bytes from a JSON list of numbers 0..255; the rest stay zero.
void bytesOf(const Json& list, uint8_t* bytes, size_t size)
{
    const auto& items = list.arrayItems();
    for (size_t i = 0; i < items.size() && i < size; ++i)
        bytes[i] = static_cast<uint8_t>(items[i].numberValue());
}

std::vector<ObjectFilter> filtersOf(const Json& rule)
{
    std::vector<ObjectFilter> filters;
    for (const Json& f : rule["filters"].arrayItems())
    {
        ObjectFilter filter{};
        filter.objectType = code(f, "type");
        filter.enabled = f["enabled"].isNumber() ? code(f, "enabled") : 1;
        bytesOf(f["firstParameters"], filter.firstParameters, sizeof filter.firstParameters);
        bytesOf(f["secondParameters"], filter.secondParameters, sizeof filter.secondParameters);
        filters.push_back(filter);
    }
    return filters;
}

// The fields that line and area rules share.
// A rule's index is its place in the list unless it names one ("ruleIndex", as a camera
// reports it).
template <class Rule>
void fillCommon(const Json& json, int32_t index, Rule* rule)
{
    rule->ruleIndex = json["ruleIndex"].isNumber() ? code(json, "ruleIndex") : index;
    rule->enabled = json["enabled"].isNumber() ? code(json, "enabled") : 1;
    rule->sensitivity = static_cast<uint32_t>(
        json["sensitivity"].isNumber() ? json["sensitivity"].numberValue() : 50);
    rule->priority = code(json, "priority");
}

ostrel::control::LineRules lineRulesOf(const Json& json)
{
    ostrel::control::LineRules rules;
    const auto& items = json["rules"].arrayItems();
    rules.ruleCount =
        json["count"].isNumber() ? code(json, "count") : static_cast<int32_t>(items.size());
    for (size_t i = 0; i < items.size(); ++i)
    {
        ostrel::control::RuleEntry<LineRule> entry;
        fillCommon(items[i], static_cast<int32_t>(i), &entry.rule);
        entry.rule.direction = code(items[i], "direction");
        entry.rule.startPoint = pointOf(items[i]["start"]);
        entry.rule.endPoint = pointOf(items[i]["end"]);
        entry.filters = filtersOf(items[i]);
        if (items[i]["filterCount"].isNumber())
            entry.reportedFilterCount = code(items[i], "filterCount");
        rules.rules.push_back(entry);
    }
    return rules;
}

ostrel::control::AreaRules areaRulesOf(const Json& json)
{
    ostrel::control::AreaRules rules;
    const auto& items = json["rules"].arrayItems();
    rules.ruleCount =
        json["count"].isNumber() ? code(json, "count") : static_cast<int32_t>(items.size());
    for (size_t i = 0; i < items.size(); ++i)
    {
        ostrel::control::RuleEntry<AreaRule> entry;
        fillCommon(items[i], static_cast<int32_t>(i), &entry.rule);
        entry.rule.timeThreshold = static_cast<uint32_t>(items[i]["timeThreshold"].numberValue());
        const auto& points = items[i]["points"].arrayItems();
        for (size_t p = 0; p < points.size() && p < kOstrelAreaPointCapacity; ++p)
            entry.rule.points[p] = pointOf(points[p]);
        entry.rule.pointCount =
            static_cast<int32_t>(std::min<size_t>(points.size(), kOstrelAreaPointCapacity));
        entry.filters = filtersOf(items[i]);
        if (items[i]["filterCount"].isNumber())
            entry.reportedFilterCount = code(items[i], "filterCount");
        rules.rules.push_back(entry);
    }
    return rules;
}

std::vector<int32_t> codesOf(const Json& list)
{
    std::vector<int32_t> codes;
    for (const Json& item : list.arrayItems())
        codes.push_back(static_cast<int32_t>(item.numberValue()));
    return codes;
}

// The camera's rules as a scenario describes them; coordinates in camera units.
void applyChannelRules(const Json& rules, ostrel::control::ChannelConfig* channel)
{
    channel->lineCrossRules = lineRulesOf(rules["lineCross"]);
    channel->intrusionRules = areaRulesOf(rules["intrusion"]);
    channel->enterAreaRules = areaRulesOf(rules["enterArea"]);
    channel->leaveAreaRules = areaRulesOf(rules["leaveArea"]);
    channel->enabledTypes = codesOf(rules["enabledTypes"]);
    channel->disabledTypes = codesOf(rules["disabledTypes"]);
    for (const Json& group : rules["combinations"].arrayItems())
        channel->combinations.push_back(codesOf(group));
}

}  // namespace

bool cameraFailuresOf(const Json& list, std::vector<ostrel::control::CameraFailure>* failures,
                      std::string* errorText)
{
    using namespace ostrel::control;
    for (const Json& item : list.arrayItems())
    {
        const auto* const name = std::find(std::begin(kOperationNames), std::end(kOperationNames),
                                           item["op"].stringValue());
        CameraFailure failure;
        failure.operation = static_cast<Operation>(name - std::begin(kOperationNames));
        failure.call = code(item, "call");
        failure.error = code(item, "error");
        if (name == std::end(kOperationNames) || failure.call < 1)
        {
            *errorText =
                "a failure needs a Camera SDK operation (\"op\") and a call number of 1 "
                "or more: " +
                item.dump();
            return false;
        }
        failures->push_back(failure);
    }
    return true;
}

ostrel::control::CameraConfig cameraConfigOf(const CameraSpec& spec)
{
    ostrel::control::CameraConfig config;
    config.address = spec.address;
    config.port = spec.port;
    config.loginName = spec.login;
    config.password = spec.password;
    config.anyPassword = spec.anyPassword;
    config.failures = spec.failures;
    config.channelCount = spec.channelCount;
    for (const ChannelSpec& channel : spec.channels)
    {
        ostrel::control::ChannelConfig& target = config.channels[channel.number];
        target.lineCrossCapability = channel.lineCrossCapability;
        target.intrusionCapability = channel.intrusionCapability;
        target.enterAreaCapability = channel.enterAreaCapability;
        target.leaveAreaCapability = channel.leaveAreaCapability;
        applyChannelRules(channel.rules, &target);
    }
    return config;
}

}  // namespace korvane::host::cli
