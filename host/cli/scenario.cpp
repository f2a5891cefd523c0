#include "scenario.h"

#include <algorithm>
#include <map>
#include <set>

#include "host/cli/camera_records.h"
#include "host/cli/json_fields.h"
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
        {"objects", [](const Json&, int64_t) -> StepAction { return ObjectsStep(); }},
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

bool stepOf(const Json& json, const std::string& path, const std::set<std::string>& cameraNames,
            Step* step, std::string* errorText)
{
    step->atMs = numberOr(json["atMs"], 0);
    step->action = textOr(json["do"], "");
    step->camera = textOr(json["camera"], "");
    step->what = actionOf(step->action, json, step->atMs);
    if (auto* objects = std::get_if<ObjectsStep>(&step->what))
    {
        // Only the detections are read strictly: the step's other members are its own.
        JsonFields fields(json, path, errorText);
        if (!readBatch(&fields, &objects->batch))
            return false;
    }
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

bool readCameras(JsonFields* file, std::vector<CameraSpec>* cameras)
{
    std::set<std::string> names;
    const Json::Array& list = file->list("cameras");
    for (size_t i = 0; i < list.size() && file->ok(); ++i)
    {
        CameraSpec camera;
        if (!readCamera(list[i], file->pathOf("cameras", i), &camera, file->errorText()))
            return false;
        if (!names.insert(camera.name).second)
            return file->fail("cameras", "two cameras are named \"" + camera.name + "\"");
        cameras->push_back(camera);
    }
    return file->ok();
}

bool parseScenario(const std::string& text, Scenario* scenario, std::string* errorText)
{
    Json json;
    if (!parseJsonObject(text, "scenario", &json, errorText))
        return false;
    *scenario = Scenario();
    errorText->clear();
    JsonFields file(json, "", errorText);
    if (!readCameras(&file, &scenario->cameras))
        return false;
    std::set<std::string> cameraNames;
    for (const CameraSpec& camera : scenario->cameras)
        cameraNames.insert(camera.name);
    const Json::Array& steps = file.list("steps");
    for (size_t i = 0; i < steps.size(); ++i)
    {
        Step step;
        if (!stepOf(steps[i], file.pathOf("steps", i), cameraNames, &step, errorText))
            return false;
        scenario->steps.push_back(step);
    }
    if (!file.done())
        return false;
    std::stable_sort(scenario->steps.begin(), scenario->steps.end(),
                     [](const Step& a, const Step& b) { return a.atMs < b.atMs; });
    return true;
}

}  // namespace korvane::host::cli
