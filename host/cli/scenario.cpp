#include "scenario.h"

#include <algorithm>
#include <map>
#include <set>

#include "host/cli/camera_records.h"
#include "host/cli/settings_model.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

std::string textOr(const Json& value, const std::string& fallback)
{
    return value.isString() ? value.stringValue() : fallback;
}

int64_t numberOr(const Json& value, int64_t fallback)
{
    return value.isNumber() ? static_cast<int64_t>(value.numberValue()) : fallback;
}

ChannelSpec channelOf(const Json& json)
{
    ChannelSpec channel;
    channel.number = static_cast<int32_t>(numberOr(json["number"], 0));
    channel.lineCrossCapability = static_cast<uint32_t>(numberOr(json["lineCross"], 1));
    channel.intrusionCapability = static_cast<uint32_t>(numberOr(json["intrusion"], 1));
    channel.enterAreaCapability = static_cast<uint32_t>(numberOr(json["enterArea"], 1));
    channel.leaveAreaCapability = static_cast<uint32_t>(numberOr(json["leaveArea"], 1));
    channel.rules = json["rules"];
    return channel;
}

bool cameraOf(const Json& json, CameraSpec* camera, std::string* errorText)
{
    camera->name = textOr(json["name"], "");
    camera->address = textOr(json["address"], "");
    if (camera->name.empty() || camera->address.empty())
    {
        *errorText = "Every camera needs a \"name\" and an \"address\"";
        return false;
    }
    camera->port = static_cast<int32_t>(numberOr(json["port"], 80));
    camera->login = textOr(json["login"], "admin");
    camera->password = textOr(json["password"], "");
    camera->anyPassword = json["anyPassword"].boolValue();
    if (!cameraFailuresOf(json["failures"], &camera->failures, errorText))
    {
        *errorText = "The camera \"" + camera->name + "\": " + *errorText;
        return false;
    }
    camera->channelCount = static_cast<int32_t>(numberOr(json["channelCount"], 1));
    for (const Json& channel : json["channels"].arrayItems())
        camera->channels.push_back(channelOf(channel));
    if (camera->channels.empty())
        camera->channels.push_back(ChannelSpec());

    const Json& device = json["device"];
    camera->deviceId = textOr(device["id"], camera->name);
    camera->deviceUrl = textOr(
        device["url"], "http://" + camera->address + ":" + std::to_string(camera->port) + "/");
    camera->deviceLogin = textOr(device["login"], camera->login);
    camera->devicePassword = textOr(device["password"], camera->password);
    camera->deviceChannel = static_cast<int32_t>(numberOr(device["channel"], 0));
    return true;
}

// What a step with "do": `action` does, read from its members.
StepAction actionOf(const std::string& action, const Json& json, int64_t atMs)
{
    using Reader = StepAction (*)(const Json&, int64_t);
    static const std::map<std::string, Reader> kReaders = {
        {"connect", [](const Json&, int64_t) -> StepAction { return ConnectStep(); }},
        {"settings",
         [](const Json& j, int64_t) -> StepAction
         { return SettingsStep{settingsOf(j["values"])}; }},
        {"alarm",
         [](const Json& j, int64_t) -> StepAction
         {
             return AlarmStep{static_cast<int32_t>(j["code"].numberValue()),
                              static_cast<int64_t>(j["time"].numberValue())};
         }},
        {"objects", [](const Json& j, int64_t) -> StepAction { return ObjectsStep{batchOf(j)}; }},
        {"frames",
         [](const Json& j, int64_t at) -> StepAction
         {
             return FramesStep{numberOr(j["count"], 1), numberOr(j["timestampUs"], at * 1000),
                               numberOr(j["stepUs"], 33333)};
         }},
        {"readSettings", [](const Json&, int64_t) -> StepAction { return ReadSettingsStep(); }},
        {"disconnect", [](const Json&, int64_t) -> StepAction { return DisconnectStep(); }},
    };
    const auto reader = kReaders.find(action);
    return reader == kReaders.end() ? StepAction(UnknownStep()) : reader->second(json, atMs);
}

bool stepOf(const Json& json, const std::set<std::string>& cameraNames, Step* step,
            std::string* errorText)
{
    step->atMs = numberOr(json["atMs"], 0);
    step->action = textOr(json["do"], "");
    step->camera = textOr(json["camera"], "");
    step->what = actionOf(step->action, json, step->atMs);
    if (step->action.empty())
    {
        *errorText = "A step at " + std::to_string(step->atMs) + " ms has no \"do\"";
        return false;
    }
    if (!cameraNames.count(step->camera))
    {
        *errorText = "The step \"" + step->action + "\" at " + std::to_string(step->atMs) +
                     " ms names an unknown camera \"" + step->camera + "\"";
        return false;
    }
    return true;
}

}  // namespace

bool parseJsonObject(const std::string& text, const char* what, Json* json, std::string* errorText)
{
    std::string parseError;
    *json = Json::parse(text, &parseError);
    if (parseError.empty() && json->isObject())
        return true;
    *errorText = std::string("The ") + what + " is not a JSON object: " + parseError;
    return false;
}

bool parseCameras(const Json& list, std::vector<CameraSpec>* cameras, std::string* errorText)
{
    std::set<std::string> names;
    for (const Json& cameraJson : list.arrayItems())
    {
        CameraSpec camera;
        if (!cameraOf(cameraJson, &camera, errorText))
            return false;
        if (!names.insert(camera.name).second)
        {
            *errorText = "Two cameras are named \"" + camera.name + "\"";
            return false;
        }
        cameras->push_back(camera);
    }
    return true;
}

bool parseScenario(const std::string& text, Scenario* scenario, std::string* errorText)
{
    Json json;
    if (!parseJsonObject(text, "scenario", &json, errorText))
        return false;
    *scenario = Scenario();
    if (!parseCameras(json["cameras"], &scenario->cameras, errorText))
        return false;
    std::set<std::string> cameraNames;
    for (const CameraSpec& camera : scenario->cameras)
        cameraNames.insert(camera.name);
    for (const Json& stepJson : json["steps"].arrayItems())
    {
        Step step;
        if (!stepOf(stepJson, cameraNames, &step, errorText))
            return false;
        scenario->steps.push_back(step);
    }
    std::stable_sort(scenario->steps.begin(), scenario->steps.end(),
                     [](const Step& a, const Step& b) { return a.atMs < b.atMs; });
    return true;
}

}  // namespace korvane::host::cli
