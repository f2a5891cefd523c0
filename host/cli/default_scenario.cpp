// The built-in scenario: what `make demo` shows. The rule settings it sends take their keys
// from the plugin's rule-kind table.

#include "scenario.h"

#include <string>
#include <utility>
#include <vector>

#include "plugin/rules/rule_kind.h"

namespace korvane::host::cli
{

namespace
{

namespace rules = nx::vms_server_plugins::analytics::sample;

// The scenario up to the values of the lobby camera's rule settings.
constexpr char kUpToRuleSettings[] = R"json({
    "cameras": [
        {"name": "lobby", "address": "10.0.0.1", "port": 8000,
         "login": "admin", "password": "secret",
         "channels": [{"number": 0, "lineCross": 1, "intrusion": 1, "enterArea": 0,
                       "leaveArea": 0, "rules": {
            "lineCross": {"rules": [
                {"enabled": 1, "sensitivity": 40, "direction": 1, "priority": 0,
                 "start": [1000, 5000], "end": [9000, 5000],
                 "filters": [{"type": 0, "enabled": 1}, {"type": 2, "enabled": 0}]},
                {"enabled": 0, "sensitivity": 50, "priority": 2,
                 "start": [0, 0], "end": [10000, 10000]}]},
            "intrusion": {"rules": [
                {"enabled": 1, "sensitivity": 60, "timeThreshold": 5, "priority": 1,
                 "points": [[2000, 2000], [8000, 2000], [8000, 8000], [2000, 8000]],
                 "filters": [{"type": 2, "enabled": 1}]}]},
            "enabledTypes": [100], "disabledTypes": [101],
            "combinations": [[100, 101]]}}]},
        {"name": "yard", "address": "10.0.0.2", "port": 8000,
         "login": "admin", "password": "secret", "channelCount": 4,
         "channels": [{"number": 2}], "device": {"channel": 1}},
        {"name": "gate", "address": "10.0.0.3", "port": 8000,
         "login": "admin", "password": "secret", "device": {"password": "wrong"}}
    ],
    "steps": [
        {"atMs": 0, "do": "connect", "camera": "lobby"},
        {"atMs": 0, "do": "connect", "camera": "yard"},
        {"atMs": 0, "do": "connect", "camera": "gate"},
        {"atMs": 100, "do": "settings", "camera": "lobby", "values": {
            "generateEvents": "true", "sendAttributes": "true", "Face": "true",
            "Person": "true", "Vehicle": "true", "LicensePlate": "true"}},
        {"atMs": 100, "do": "settings", "camera": "yard", "values": {"generateEvents": "true"}},
        {"atMs": 200, "do": "alarm", "camera": "lobby", "code": 1, "time": 1765000000},
        {"atMs": 300, "do": "alarm", "camera": "yard", "code": 1003, "time": 1765000001},
        {"atMs": 400, "do": "alarm", "camera": "lobby", "code": 3, "time": 1765000002},
        {"atMs": 500, "do": "alarm", "camera": "gate", "code": 1, "time": 1765000003},
        {"atMs": 600, "do": "alarm", "camera": "lobby", "code": 2, "time": 1765000004},
        {"atMs": 700, "do": "objects", "camera": "lobby",
         "faces": [{"gender": 2, "age": 3, "emotion": 5, "glassFlag": 1, "hatStyle": 3,
                    "hatColor": 15}],
         "persons": [{"gender": 1, "age": 2, "topClothingColor": 4,
                      "bottomClothingColor": 18, "bagFlag": 2, "movingDirection": 4}],
         "vehicles": [{"vehicleType": 10, "vehicleColor": 13, "speedUnit": 2, "speed": 72.5,
                       "plateNumber": "KOR 1234", "plateColor": 4, "plateType": 1}]},
        {"atMs": 733, "do": "frames", "camera": "lobby", "count": 1},
        {"atMs": 800, "do": "settings", "camera": "lobby", "values": {"LicensePlate": "false"}},
        {"atMs": 900, "do": "objects", "camera": "lobby",
         "persons": [{"gender": 2, "age": 4}],
         "vehicles": [{"vehicleType": 1, "vehicleColor": 0, "plateNumber": "KOR 5678",
                       "plateColor": 1, "plateType": 20}]},
        {"atMs": 933, "do": "frames", "camera": "lobby", "count": 2},
        {"atMs": 1000, "do": "disconnect", "camera": "yard"},
        {"atMs": 1100, "do": "readSettings", "camera": "lobby"},
        {"atMs": 1200, "do": "settings", "camera": "lobby", "values": )json";

// The scenario after the values of the lobby camera's rule settings.
constexpr char kAfterRuleSettings[] = R"json(},
        {"atMs": 1300, "do": "readSettings", "camera": "lobby"}
    ]
}
)json";

// `text` as a JSON string.
std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

// The lobby camera's rule settings, as a JSON object: line 1 drawn and on, line 2 off, and
// intrusion area 1 drawn and on, with the numbers the other rules need.
std::string ruleSettingsText()
{
    using rules::RuleKind;
    constexpr RuleKind kLine = RuleKind::kLineCross;
    constexpr RuleKind kArea = RuleKind::kIntrusion;
    const auto key = [](RuleKind kind, int number, const char* suffix)
    { return rules::ruleSettingKey(kind, number, suffix); };
    const std::string kIndent = "\n            ";
    std::vector<std::pair<std::string, std::string>> values = {
        {rules::ruleKindInfo(kLine).switchKey, "true"},
        {rules::ruleKindInfo(kArea).switchKey, "true"},
        {key(kLine, 1, rules::kEnableSuffix), "true"},
        {key(kLine, 1, rules::kPointsSuffix),
         R"({"figure": {"color": "#00ff00", "direction": "right", "points": [[0.2, 0.3], [0.8, 0.3]]}, "label": "Entrance", "showOnCamera": true})"},
        {key(kLine, 1, rules::kPrioritySuffix), "mid"},
        {key(kLine, 1, rules::kSensitivitySuffix), "75"},
        {key(kLine, 1, rules::kPersonSuffix), "true"},
        {key(kLine, 2, rules::kEnableSuffix), "false"},
        {key(kLine, 2, rules::kSensitivitySuffix), "50"},
        {key(kLine, 3, rules::kSensitivitySuffix), "50"},
        {key(kLine, 4, rules::kSensitivitySuffix), "50"},
        {key(kArea, 1, rules::kEnableSuffix), "true"},
        {key(kArea, 1, rules::kFigureSuffix),
         R"({"figure": {"color": "#0000ff", "points": [[0.1, 0.1], [0.5, 0.05], [0.9, 0.1], [0.9, 0.9], [0.1, 0.9]]}, "label": "Desk", "showOnCamera": false})"},
        {key(kArea, 1, rules::kSensitivitySuffix), "65"},
        {key(kArea, 1, rules::kTimeThresholdSuffix), "3"},
    };
    for (int number = 2; number <= 4; ++number)
    {
        values.emplace_back(key(kArea, number, rules::kSensitivitySuffix), "50");
        values.emplace_back(key(kArea, number, rules::kTimeThresholdSuffix), "1");
    }
    std::string text;
    for (const auto& [name, value] : values)
        text += (text.empty() ? "{" : ",") + kIndent + quoted(name) + ": " + quoted(value);
    return text + "}";
}

}  // namespace

const std::string& defaultScenarioText()
{
    static const std::string kText = kUpToRuleSettings + ruleSettingsText() + kAfterRuleSettings;
    return kText;
}

}  // namespace korvane::host::cli
