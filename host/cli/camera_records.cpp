#include "camera_records.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace korvane::host::cli
{

using nx::kit::Json;
using ostrel::control::CameraFailure;
using ostrel::control::ChannelConfig;
using ostrel::control::FaceCodes;
using ostrel::control::PersonCodes;

namespace
{

int32_t int32Of(JsonFields* fields, const char* key, int32_t fallback)
{
    return static_cast<int32_t>(fields->integer(key, fallback, kInt32Min, kInt32Max));
}

uint32_t uint32Of(JsonFields* fields, const char* key, uint32_t fallback)
{
    return static_cast<uint32_t>(fields->integer(key, fallback, 0, kUint32Max));
}

// ---- Detections ----

constexpr std::pair<const char*, int32_t FaceCodes::*> kFaceCodes[] = {
    {"gender", &FaceCodes::gender},       {"age", &FaceCodes::age},
    {"glassFlag", &FaceCodes::glassFlag}, {"glassesStyle", &FaceCodes::glassesStyle},
    {"maskFlag", &FaceCodes::maskFlag},   {"emotion", &FaceCodes::emotion},
    {"smile", &FaceCodes::smile},         {"skinColor", &FaceCodes::skinColor},
    {"beard", &FaceCodes::beard},         {"hatStyle", &FaceCodes::hatStyle},
    {"hatColor", &FaceCodes::hatColor},
};

constexpr std::pair<const char*, int32_t PersonCodes::*> kPersonCodes[] = {
    {"gender", &PersonCodes::gender},
    {"age", &PersonCodes::age},
    {"sleevesLength", &PersonCodes::sleevesLength},
    {"topClothingColor", &PersonCodes::topClothingColor},
    {"trousersLength", &PersonCodes::trousersLength},
    {"bottomClothingColor", &PersonCodes::bottomClothingColor},
    {"bodyToward", &PersonCodes::bodyToward},
    {"shoesTubeLength", &PersonCodes::shoesTubeLength},
    {"hairLength", &PersonCodes::hairLength},
    {"bagFlag", &PersonCodes::bagFlag},
    {"mask", &PersonCodes::mask},
    {"coatTexture", &PersonCodes::coatTexture},
    {"movingDirection", &PersonCodes::movingDirection},
};

// A record of codes, one member per field of `table`.
template <typename Codes, size_t n>
bool codesOf(const Json& json, const std::string& path,
             const std::pair<const char*, int32_t Codes::*> (&table)[n], Codes* codes,
             std::string* errorText)
{
    JsonFields fields(json, path, errorText);
    for (const auto& [key, member] : table)
        codes->*member = int32Of(&fields, key, 0);
    return fields.done();
}

// The bytes of a text in hexadecimal, two digits a byte.
bool bytesOfHex(JsonFields* fields, const std::string& hex, const char* key, std::string* bytes)
{
    const bool digits = hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!digits || hex.size() % 2 != 0)
        return fields->fail(key, "\"" + hex + "\" is not bytes in hexadecimal, two digits each");
    for (size_t i = 0; i < hex.size(); i += 2)
        bytes->push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return true;
}

bool vehicleOf(const Json& json, const std::string& path, ostrel::control::VehicleCodes* vehicle,
               std::string* errorText)
{
    JsonFields fields(json, path, errorText);
    vehicle->vehicleType = int32Of(&fields, "vehicleType", 0);
    vehicle->vehicleColor = int32Of(&fields, "vehicleColor", 0);
    vehicle->speedUnit = int32Of(&fields, "speedUnit", 0);
    // A capture writes a speed that is not a finite number as null.
    const bool noNumber = fields.has("speed") && json["speed"].isNull();
    vehicle->speed =
        noNumber ? std::nanf("") : static_cast<float>(fields.number("speed", 0, -3.4e38, 3.4e38));
    vehicle->plateNumber = fields.text("plateNumber", "");
    const std::string hex = fields.text("plateNumberHex", "");
    if (!hex.empty())
    {
        vehicle->plateNumber.clear();
        bytesOfHex(&fields, hex, "plateNumberHex", &vehicle->plateNumber);
    }
    vehicle->plateColor = int32Of(&fields, "plateColor", 0);
    vehicle->plateType = int32Of(&fields, "plateType", 0);
    return fields.done();
}

// ---- Rules ----

// A point [x, y] in camera units.
bool pointOf(const Json& json, const std::string& path, RulePoint* point, std::string* errorText)
{
    const Json::Array& xy = json.arrayItems();
    if (!json.isArray() || xy.size() != 2)
    {
        if (errorText->empty())
            *errorText = path + ": " + json.dump() + " is not a point [x, y]";
        return false;
    }
    int64_t x = 0, y = 0;
    const bool ok = JsonFields::integerAt(xy[0], path + "[0]", 0, kUint32Max, &x, errorText) &&
                    JsonFields::integerAt(xy[1], path + "[1]", 0, kUint32Max, &y, errorText);
    point->x = static_cast<uint32_t>(x);
    point->y = static_cast<uint32_t>(y);
    return ok;
}

// A list of whole numbers in range, at most `capacity` of them.
template <typename Value>
void numbersOf(JsonFields* fields, const char* key, int64_t minimum, int64_t maximum,
               size_t capacity, std::vector<Value>* values)
{
    const Json::Array& items = fields->list(key);
    if (items.size() > capacity)
        fields->fail(key, "more than " + std::to_string(capacity) + " items");
    for (size_t i = 0; i < items.size() && fields->ok(); ++i)
    {
        int64_t value = 0;
        if (JsonFields::integerAt(items[i], fields->pathOf(key, i), minimum, maximum, &value,
                                  fields->errorText()))
            values->push_back(static_cast<Value>(value));
    }
}

void filtersOf(JsonFields* rule, std::vector<ObjectFilter>* filters)
{
    const Json::Array& items = rule->list("filters");
    for (size_t i = 0; i < items.size(); ++i)
    {
        JsonFields fields(items[i], rule->pathOf("filters", i), rule->errorText());
        ObjectFilter filter{};
        filter.objectType = int32Of(&fields, "type", 0);
        filter.enabled = int32Of(&fields, "enabled", 1);
        std::vector<uint8_t> first, second;
        numbersOf(&fields, "firstParameters", 0, 255, sizeof filter.firstParameters, &first);
        numbersOf(&fields, "secondParameters", 0, 255, sizeof filter.secondParameters, &second);
        std::copy(first.begin(), first.end(), filter.firstParameters);
        std::copy(second.begin(), second.end(), filter.secondParameters);
        if (fields.done())
            filters->push_back(filter);
    }
}

// The members that line and area rules share.
template <class Rule>
void commonOf(JsonFields* fields, int32_t index, ostrel::control::RuleEntry<Rule>* entry)
{
    entry->rule.ruleIndex = int32Of(fields, "ruleIndex", index);
    entry->rule.enabled = int32Of(fields, "enabled", 1);
    entry->rule.sensitivity = uint32Of(fields, "sensitivity", 50);
    entry->rule.priority = int32Of(fields, "priority", 0);
    entry->reportedFilterCount = int32Of(fields, "filterCount", -1);
    filtersOf(fields, &entry->filters);
}

void lineRuleOf(JsonFields* fields, LineRule* rule)
{
    rule->direction = int32Of(fields, "direction", 0);
    for (const auto& [key, point] :
         {std::pair("start", &rule->startPoint), std::pair("end", &rule->endPoint)})
    {
        if (fields->has(key))
            pointOf(fields->value(key), fields->pathOf(key), point, fields->errorText());
    }
}

void areaRuleOf(JsonFields* fields, AreaRule* rule)
{
    rule->timeThreshold = uint32Of(fields, "timeThreshold", 0);
    const Json::Array& points = fields->list("points");
    if (points.size() > static_cast<size_t>(kOstrelAreaPointCapacity))
        fields->fail("points", "more than " + std::to_string(kOstrelAreaPointCapacity) + " points");
    for (size_t p = 0; p < points.size() && fields->ok(); ++p)
        pointOf(points[p], fields->pathOf("points", p), &rule->points[p], fields->errorText());
    rule->pointCount = int32Of(fields, "pointCount", static_cast<int32_t>(points.size()));
}

template <class Rule, class ReadKind>
void ruleSetOf(JsonFields* rules, const char* key, ostrel::control::RuleList<Rule>* set,
               ReadKind readKind)
{
    if (!rules->has(key))
        return;
    JsonFields fields(rules->object(key), rules->pathOf(key), rules->errorText());
    const Json::Array& items = fields.list("rules");
    set->ruleCount = int32Of(&fields, "count", static_cast<int32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i)
    {
        JsonFields rule(items[i], fields.pathOf("rules", i), rules->errorText());
        ostrel::control::RuleEntry<Rule> entry;
        commonOf(&rule, static_cast<int32_t>(i), &entry);
        readKind(&rule, &entry.rule);
        rule.done();
        set->rules.push_back(entry);
    }
    fields.done();
}

// The channel's rule sets and switches, from its "rules" object.
void channelRulesOf(JsonFields* channel, ChannelConfig* config)
{
    if (!channel->has("rules"))
        return;
    JsonFields rules(channel->object("rules"), channel->pathOf("rules"), channel->errorText());
    ruleSetOf(&rules, "lineCross", &config->lineCrossRules, &lineRuleOf);
    ruleSetOf(&rules, "intrusion", &config->intrusionRules, &areaRuleOf);
    ruleSetOf(&rules, "enterArea", &config->enterAreaRules, &areaRuleOf);
    ruleSetOf(&rules, "leaveArea", &config->leaveAreaRules, &areaRuleOf);
    numbersOf(&rules, "enabledTypes", kInt32Min, kInt32Max, SIZE_MAX, &config->enabledTypes);
    numbersOf(&rules, "disabledTypes", kInt32Min, kInt32Max, SIZE_MAX, &config->disabledTypes);
    const Json::Array& groups = rules.list("combinations");
    for (size_t g = 0; g < groups.size() && rules.ok(); ++g)
    {
        // A group is a list of its own: read as the one member of an object made for it.
        const Json holder(Json::Object{{"types", groups[g]}});
        JsonFields group(holder, rules.pathOf("combinations", g), rules.errorText());
        config->combinations.emplace_back();
        numbersOf(&group, "types", kInt32Min, kInt32Max, SIZE_MAX, &config->combinations.back());
    }
    rules.done();
}

// ---- Cameras ----

void failuresOf(JsonFields* camera, std::vector<CameraFailure>* failures)
{
    using namespace ostrel::control;
    const Json::Array& items = camera->list("failures");
    for (size_t i = 0; i < items.size(); ++i)
    {
        JsonFields fields(items[i], camera->pathOf("failures", i), camera->errorText());
        const std::string op = fields.text("op", "");
        const auto* const name =
            std::find(std::begin(kOperationNames), std::end(kOperationNames), op);
        CameraFailure failure;
        failure.operation = static_cast<Operation>(name - std::begin(kOperationNames));
        failure.call = static_cast<int>(fields.integer("call", 1, 1, kInt32Max));
        failure.error = int32Of(&fields, "error", 0);
        if (name == std::end(kOperationNames))
            fields.fail("op", "\"" + op + "\" is not a Camera SDK operation (\"OSTREL_...\")");
        if (fields.done())
            failures->push_back(failure);
    }
}

ChannelSpec channelOf(const Json& json, const std::string& path, std::string* errorText)
{
    JsonFields fields(json, path, errorText);
    ChannelSpec channel;
    channel.number = int32Of(&fields, "number", 0);
    channel.lineCrossCapability = uint32Of(&fields, "lineCross", 1);
    channel.intrusionCapability = uint32Of(&fields, "intrusion", 1);
    channel.enterAreaCapability = uint32Of(&fields, "enterArea", 1);
    channel.leaveAreaCapability = uint32Of(&fields, "leaveArea", 1);
    channelRulesOf(&fields, &channel.rules);
    fields.done();
    return channel;
}

// What the server knows of the camera: each member defaults to the camera's own value.
void deviceOf(JsonFields* camera, CameraSpec* spec)
{
    const bool given = camera->has("device");
    JsonFields device(given ? camera->object("device") : Json(Json::Object()),
                      camera->pathOf("device"), camera->errorText());
    spec->deviceId = device.text("id", spec->name);
    spec->deviceUrl =
        device.text("url", "http://" + spec->address + ":" + std::to_string(spec->port) + "/");
    spec->deviceLogin = device.text("login", spec->login);
    spec->devicePassword = device.text("password", spec->password);
    spec->deviceChannel = static_cast<int32_t>(device.integer("channel", 0, 0, kInt32Max));
    device.done();
}

}  // namespace

bool readCamera(const Json& json, const std::string& path, CameraSpec* camera,
                std::string* errorText)
{
    JsonFields fields(json, path, errorText);
    camera->name = fields.text("name", "");
    camera->address = fields.text("address", "");
    if (fields.ok() && (camera->name.empty() || camera->address.empty()))
        fields.fail(camera->name.empty() ? "name" : "address", "missing or empty (required)");
    camera->port = static_cast<int32_t>(fields.integer("port", 80, 1, 65535));
    camera->login = fields.text("login", "admin");
    camera->password = fields.text("password", "");
    camera->anyPassword = fields.boolean("anyPassword", false);
    failuresOf(&fields, &camera->failures);
    camera->channelCount = int32Of(&fields, "channelCount", 1);
    const Json::Array& channels = fields.list("channels");
    for (size_t i = 0; i < channels.size(); ++i)
        camera->channels.push_back(channelOf(channels[i], fields.pathOf("channels", i), errorText));
    if (camera->channels.empty())
        camera->channels.push_back(ChannelSpec());
    deviceOf(&fields, camera);
    return fields.done();
}

bool readBatch(JsonFields* fields, ostrel::control::StructuredBatch* batch)
{
    std::string* const errorText = fields->errorText();
    const Json::Array& faces = fields->list("faces");
    for (size_t i = 0; i < faces.size(); ++i)
    {
        FaceCodes face;
        codesOf(faces[i], fields->pathOf("faces", i), kFaceCodes, &face, errorText);
        batch->faces.push_back(face);
    }
    const Json::Array& persons = fields->list("persons");
    for (size_t i = 0; i < persons.size(); ++i)
    {
        PersonCodes person;
        codesOf(persons[i], fields->pathOf("persons", i), kPersonCodes, &person, errorText);
        batch->persons.push_back(person);
    }
    const Json::Array& vehicles = fields->list("vehicles");
    for (size_t i = 0; i < vehicles.size(); ++i)
    {
        ostrel::control::VehicleCodes vehicle;
        vehicleOf(vehicles[i], fields->pathOf("vehicles", i), &vehicle, errorText);
        batch->vehicles.push_back(vehicle);
    }
    return fields->ok();
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
        ChannelConfig& target = config.channels[channel.number];
        target = channel.rules;
        target.lineCrossCapability = channel.lineCrossCapability;
        target.intrusionCapability = channel.intrusionCapability;
        target.enterAreaCapability = channel.enterAreaCapability;
        target.leaveAreaCapability = channel.leaveAreaCapability;
    }
    return config;
}

}  // namespace korvane::host::cli
