#include "scenario_runner.h"

#include <algorithm>
#include <cstdio>

#include <nx/kit/json.h>
#include <nx/sdk/analytics/i_consuming_device_agent.h>
#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/uuid_helper.h>
#include <nx/sdk/i_settings_response.h>
#include <ostrel_control.h>

#include "host/data_packets.h"
#include "host/device_agent_handler.h"
#include "host/device_info.h"
#include "host/engine_handler.h"
#include "host/host_object.h"
#include "host/string_maps.h"

namespace korvane::host::cli
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using nx::kit::Json;

struct ScenarioRunner::Camera
{
    CameraSpec spec;
    ostrel::control::CameraId id = 0;
    Ptr<IConsumingDeviceAgent> agent;
    Ptr<DeviceAgentHandler> handler;
    size_t manifestsSeen = 0;
};

namespace
{

// Takes the text of a result's error message, releasing it.
std::string takeMessage(Error* error)
{
    const Ptr<const IString> message(error->errorMessage);
    error->errorMessage = nullptr;
    return message && message->str() ? message->str() : "";
}

std::string errorText(Error* error)
{
    return toString(error->errorCode) + ": " + takeMessage(error);
}

// The first name text of a manifest's JSON, for the summary.
std::string textOf(const Json& json, const char* key)
{
    return json[key].stringValue();
}

int32_t code(const Json& object, const char* key)
{
    return static_cast<int32_t>(object[key].numberValue());
}

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
        vehicle.plateNumber = v["plateNumber"].stringValue();
        vehicle.plateColor = code(v, "plateColor");
        vehicle.plateType = code(v, "plateType");
        batch.vehicles.push_back(vehicle);
    }
    return batch;
}

std::string boxText(const Rect& box)
{
    char text[96];
    std::snprintf(text, sizeof(text), "(%.3f, %.3f, %.3f, %.3f)", box.x, box.y, box.width,
                  box.height);
    return text;
}

Json boxJson(const Rect& box)
{
    return Json::Array{static_cast<double>(box.x), static_cast<double>(box.y),
                       static_cast<double>(box.width), static_cast<double>(box.height)};
}

RulePoint pointOf(const Json& point)
{
    RulePoint result{};
    result.x = static_cast<uint32_t>(point[0].numberValue());
    result.y = static_cast<uint32_t>(point[1].numberValue());
    return result;
}

std::vector<ObjectFilter> filtersOf(const Json& rule)
{
    std::vector<ObjectFilter> filters;
    for (const Json& f : rule["filters"].arrayItems())
    {
        ObjectFilter filter{};
        filter.objectType = code(f, "type");
        filter.enabled = f["enabled"].isNumber() ? code(f, "enabled") : 1;
        filters.push_back(filter);
    }
    return filters;
}

// The fields that line and area rules share.
template <class Rule>
void fillCommon(const Json& json, int32_t index, Rule* rule)
{
    rule->ruleIndex = index;
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

ScenarioRunner::ScenarioRunner(const PluginLibrary& library, Report* report)
    : m_library(library), m_report(report)
{
}

ScenarioRunner::~ScenarioRunner()
{
    stop();
}

bool ScenarioRunner::run(const Scenario& scenario)
{
    if (!start())
        return false;
    addCameras(scenario);
    for (const Step& step : scenario.steps)
    {
        if (!runStep(step))
            ++m_failedSteps;
        reportDeliveries(step.atMs);
    }
    stop();
    return m_failedSteps == 0;
}

bool ScenarioRunner::start()
{
    m_plugin = m_library.createPlugin();
    if (!m_plugin)
    {
        m_report->note("error", {{"message", "createNxPlugin refused"}},
                       "ERROR: the plugin could not be created (the Camera SDK did not start)");
        return false;
    }
    m_plugin->setHostObject(makePtr<HostObject>().get());
    Result<const IString*> pluginManifest;
    m_plugin->getManifest(&pluginManifest);
    const Ptr<const IString> pluginText(pluginManifest.value);
    const Json plugin = Json::parse(pluginText ? pluginText->str() : "", nullptr);
    m_report->note("plugin",
                   {{"id", textOf(plugin, "id")},
                    {"name", textOf(plugin, "name")},
                    {"version", textOf(plugin, "version")},
                    {"sdkVersion", m_library.sdkVersion()}},
                   "plugin  " + textOf(plugin, "name") + " " + textOf(plugin, "version") + " (" +
                       textOf(plugin, "id") + "), SDK " + m_library.sdkVersion());

    Result<IEngine*> engine;
    m_plugin->doCreateEngine(&engine);
    if (!engine.isOk())
    {
        m_report->note("error", {{"message", errorText(&engine.error)}},
                       "ERROR: the plugin refused to create its engine");
        return false;
    }
    m_engine = toPtr(engine.value);
    m_engine->setEngineInfo(makePtr<EngineInfo>("korvane", "Korvane").get());
    m_engine->setHandler(makePtr<EngineHandler>().get());
    Result<const IString*> engineManifest;
    m_engine->getManifest(&engineManifest);
    const Ptr<const IString> engineText(engineManifest.value);
    const Json manifest = Json::parse(engineText ? engineText->str() : "", nullptr);
    const Json& model = manifest["deviceAgentSettingsModel"];
    const std::string group = manifest["typeLibrary"]["groups"][0]["name"].stringValue();
    const std::string filter = textOf(manifest, "streamTypeFilter");
    m_report->note(
        "engine",
        {{"eventGroup", group},
         {"streamTypeFilter", filter},
         {"settingsSections", static_cast<double>(model["sections"].arrayItems().size())},
         {"settingsItems", static_cast<double>(model["items"].arrayItems().size())}},
        "engine  event group " + group + ", stream " + filter +
            ", settings: " + std::to_string(model["sections"].arrayItems().size()) + " sections, " +
            std::to_string(model["items"].arrayItems().size()) + " items");
    return true;
}

void ScenarioRunner::stop()
{
    for (Camera* camera : m_cameraOrder)
    {
        if (camera->agent)
            camera->agent->finalize();
        camera->agent.reset();
        camera->handler.reset();
    }
    m_engine.reset();
    m_plugin.reset();
}

void ScenarioRunner::addCameras(const Scenario& scenario)
{
    for (const CameraSpec& spec : scenario.cameras)
    {
        ostrel::control::CameraConfig config;
        config.address = spec.address;
        config.port = spec.port;
        config.loginName = spec.login;
        config.password = spec.password;
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
        auto camera = std::make_unique<Camera>();
        camera->spec = spec;
        camera->id = ostrel::control::addCamera(config);
        m_cameraOrder.push_back(camera.get());
        m_cameras[spec.name] = std::move(camera);
    }
}

bool ScenarioRunner::runStep(const Step& step)
{
    using Action = bool (ScenarioRunner::*)(const Step&, Camera*);
    static const std::map<std::string, Action> kActions = {
        {"connect", &ScenarioRunner::connect},
        {"settings", &ScenarioRunner::sendSettings},
        {"alarm", &ScenarioRunner::raiseAlarm},
        {"objects", &ScenarioRunner::deliverObjects},
        {"frames", &ScenarioRunner::pushFrames},
        {"readSettings", &ScenarioRunner::readSettings},
        {"disconnect", &ScenarioRunner::disconnect},
    };
    const auto action = kActions.find(step.action);
    if (action == kActions.end())
        return fail(step, "unknown step \"" + step.action + "\"");
    Camera* const camera = m_cameras.at(step.camera).get();
    if (step.action != "connect" && !camera->agent)
        return fail(step, "the camera is not connected");
    return (this->*action->second)(step, camera);
}

bool ScenarioRunner::fail(const Step& step, const std::string& message)
{
    m_report->add(step.atMs, step.camera, "error", {{"step", step.action}, {"message", message}},
                  "ERROR in " + step.action + ": " + message);
    return false;
}

bool ScenarioRunner::connect(const Step& step, Camera* camera)
{
    if (camera->agent)
        return fail(step, "already connected");
    DeviceDescription description;
    description.id = camera->spec.deviceId;
    description.name = camera->spec.name;
    description.url = camera->spec.deviceUrl;
    description.login = camera->spec.deviceLogin;
    description.password = camera->spec.devicePassword;
    description.channelNumber = camera->spec.deviceChannel;
    const auto deviceInfo = makePtr<DeviceInfo>(description);

    Result<IDeviceAgent*> result;
    m_engine->doObtainDeviceAgent(&result, deviceInfo.get());
    if (!result.isOk())
        return fail(step, "no device agent: " + errorText(&result.error));
    const Ptr<IDeviceAgent> agent = toPtr(result.value);
    camera->agent = queryInterfacePtr<IConsumingDeviceAgent>(agent);
    if (!camera->agent)
        return fail(step, "the device agent does not consume video");
    camera->handler = makePtr<DeviceAgentHandler>();
    camera->agent->setHandler(camera->handler.get());

    Result<const IString*> manifestResult;
    camera->agent->getManifest(&manifestResult);
    const Ptr<const IString> text(manifestResult.value);
    const Json manifest = Json::parse(text ? text->str() : "", nullptr);
    const size_t events = manifest["eventTypes"].arrayItems().size();
    const size_t objects = manifest["objectTypes"].arrayItems().size();
    m_report->add(step.atMs, step.camera, "connected",
                  {{"eventTypes", static_cast<double>(events)},
                   {"objectTypes", static_cast<double>(objects)}},
                  "connected: manifest with " + std::to_string(events) + " event types and " +
                      std::to_string(objects) + " object types");
    return true;
}

bool ScenarioRunner::sendSettings(const Step& step, Camera* camera)
{
    std::map<std::string, std::string> values;
    for (const auto& [key, value] : step.arguments["values"].objectItems())
        values[key] = value.isString() ? value.stringValue() : value.dump();
    Result<const ISettingsResponse*> result;
    camera->agent->doSetSettings(&result, makeStringMap(values).get());
    const Ptr<const ISettingsResponse> response(result.value);
    if (!result.isOk())
        return fail(step, "settings refused: " + errorText(&result.error));
    Json::Object sent;
    std::string text;
    for (const auto& [key, value] : values)
    {
        sent[key] = value;
        text += (text.empty() ? "" : ", ") + key + "=" + value;
    }
    m_report->add(step.atMs, step.camera, "settings", {{"values", sent}}, "settings sent: " + text);
    return true;
}

bool ScenarioRunner::raiseAlarm(const Step& step, Camera* camera)
{
    const int32_t alarmCode = code(step.arguments, "code");
    const auto time = static_cast<int64_t>(step.arguments["time"].numberValue());
    const int before = camera->handler->recordCount();
    ostrel::control::raiseAlarm(camera->id, alarmCode, time);
    if (!ostrel::control::waitForAllDeliveries(camera->id))
        return fail(step, "the alarm was not delivered in time");
    m_report->add(step.atMs, step.camera, "alarm",
                  {{"code", static_cast<double>(alarmCode)}, {"time", static_cast<double>(time)}},
                  "camera alarm " + std::to_string(alarmCode) + " at " + std::to_string(time) +
                      " s" + (camera->handler->recordCount() == before ? " -> no event" : ""));
    return true;
}

bool ScenarioRunner::deliverObjects(const Step& step, Camera* camera)
{
    const ostrel::control::StructuredBatch batch = batchOf(step.arguments);
    ostrel::control::deliverStructured(camera->id, batch);
    if (!ostrel::control::waitForAllDeliveries(camera->id))
        return fail(step, "the detection records were not delivered in time");
    m_report->add(step.atMs, step.camera, "detections",
                  {{"faces", static_cast<double>(batch.faces.size())},
                   {"persons", static_cast<double>(batch.persons.size())},
                   {"vehicles", static_cast<double>(batch.vehicles.size())}},
                  "camera detections: " + std::to_string(batch.faces.size()) + " face(s), " +
                      std::to_string(batch.persons.size()) + " person(s), " +
                      std::to_string(batch.vehicles.size()) + " vehicle(s)");
    return true;
}

bool ScenarioRunner::pushFrames(const Step& step, Camera* camera)
{
    const Json& args = step.arguments;
    const int64_t count =
        args["count"].isNumber() ? static_cast<int64_t>(args["count"].numberValue()) : 1;
    const int64_t first = args["timestampUs"].isNumber()
                              ? static_cast<int64_t>(args["timestampUs"].numberValue())
                              : step.atMs * 1000;
    const int64_t stepUs =
        args["stepUs"].isNumber() ? static_cast<int64_t>(args["stepUs"].numberValue()) : 33333;
    for (int64_t i = 0; i < count; ++i)
    {
        Result<void> result;
        camera->agent->doPushDataPacket(&result,
                                        makePtr<CompressedVideoPacket>(first + i * stepUs).get());
        if (!result.isOk())
            return fail(step, "video frame refused: " + errorText(&result.error));
    }
    m_report->add(step.atMs, step.camera, "frames", {{"count", static_cast<double>(count)}},
                  "video: " + std::to_string(count) + " frame(s) pushed");
    return true;
}

bool ScenarioRunner::readSettings(const Step& step, Camera* camera)
{
    Result<const ISettingsResponse*> result;
    camera->agent->getPluginSideSettings(&result);
    const Ptr<const ISettingsResponse> response(result.value);
    if (!result.isOk())
        return fail(step, "plugin-side settings refused: " + errorText(&result.error));
    const auto values =
        response ? toStdMap(toPtr(response->values()).get()) : std::map<std::string, std::string>();
    const auto errors =
        response ? toStdMap(toPtr(response->errors()).get()) : std::map<std::string, std::string>();
    Json::Object valueJson;
    Json::Object errorJson;
    std::string text = "plugin-side settings: " + std::to_string(values.size()) + " value(s)";
    for (const auto& [key, value] : values)
    {
        valueJson[key] = value;
        text += "\n" + std::string(23, ' ') + key + " = " + value;
    }
    for (const auto& [key, value] : errors)
    {
        errorJson[key] = value;
        text += "\n" + std::string(23, ' ') + "error " + key + ": " + value;
    }
    m_report->add(step.atMs, step.camera, "pluginSideSettings",
                  {{"values", valueJson}, {"errors", errorJson}}, text);
    return true;
}

bool ScenarioRunner::disconnect(const Step& step, Camera* camera)
{
    camera->agent->finalize();
    camera->agent.reset();
    m_report->add(step.atMs, step.camera, "disconnected", {}, "disconnected");
    return true;
}

void ScenarioRunner::reportDeliveries(int64_t atMs)
{
    for (Camera* camera : m_cameraOrder)
        ostrel::control::waitForAllDeliveries(camera->id);
    for (Camera* camera : m_cameraOrder)
    {
        if (!camera->handler)
            continue;
        const std::string& name = camera->spec.name;
        for (const MetadataRecord& record : camera->handler->takeRecords())
        {
            for (const MetadataItem& item : record.items)
            {
                if (record.kind == MetadataRecord::Kind::event)
                {
                    m_report->add(atMs, name, "event",
                                  {{"typeId", item.typeId},
                                   {"caption", item.caption},
                                   {"description", item.description},
                                   {"isActive", item.isActive},
                                   {"timestampUs", static_cast<double>(record.timestampUs)}},
                                  "event  " + item.typeId + " \"" + item.caption + "\" \"" +
                                      item.description + "\" " +
                                      (item.isActive ? "active" : "ended") + " at " +
                                      std::to_string(record.timestampUs) + " us");
                    continue;
                }
                Json::Object attributes;
                std::string attributeText;
                for (const auto& [attributeName, value] : item.attributes)
                {
                    attributes[attributeName] = value;
                    attributeText +=
                        (attributeText.empty() ? "" : ", ") + attributeName + "=" + value;
                }
                const int track = trackNumber(item.trackId);
                m_report->add(atMs, name, "object",
                              {{"typeId", item.typeId},
                               {"attributes", attributes},
                               {"boundingBox", boxJson(item.boundingBox)},
                               {"track", static_cast<double>(track)},
                               {"timestampUs", static_cast<double>(record.timestampUs)}},
                              "object " + item.typeId + " track " + std::to_string(track) +
                                  " box " + boxText(item.boundingBox) + " at " +
                                  std::to_string(record.timestampUs) + " us {" + attributeText +
                                  "}");
            }
            if (record.items.empty())
            {
                m_report->add(atMs, name, "emptyPacket",
                              {{"timestampUs", static_cast<double>(record.timestampUs)}},
                              "empty " + std::string(toString(record.kind)) + " packet at " +
                                  std::to_string(record.timestampUs) + " us");
            }
        }
        const auto manifests = camera->handler->manifests();
        for (; camera->manifestsSeen < manifests.size(); ++camera->manifestsSeen)
        {
            m_report->add(
                atMs, name, "manifest",
                {{"length", static_cast<double>(manifests[camera->manifestsSeen].size())}},
                "device agent manifest pushed again");
        }
    }
}

int ScenarioRunner::trackNumber(const Uuid& trackId)
{
    const std::string key = toString(trackId);
    const auto it = m_trackNumbers.find(key);
    if (it != m_trackNumbers.end())
        return it->second;
    const int number = static_cast<int>(m_trackNumbers.size()) + 1;
    m_trackNumbers[key] = number;
    return number;
}

}  // namespace korvane::host::cli
