// The built-in scenario: what `make demo` shows.

#include "scenario.h"

namespace korvane::host::cli
{

const std::string& defaultScenarioText()
{
    static const std::string kText = R"json({
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
        {"atMs": 1200, "do": "settings", "camera": "lobby", "values": {
            "CrossLineEnable": "true", "IntrusionEnable": "true",
            "LineCrossed.IncludeArea1.Enable": "true",
            "LineCrossed.IncludeArea1.Points": "{\"figure\": {\"color\": \"#00ff00\", \"direction\": \"right\", \"points\": [[0.2, 0.3], [0.8, 0.3]]}, \"label\": \"Entrance\", \"showOnCamera\": true}",
            "LineCrossed.IncludeArea1.Priority": "mid",
            "LineCrossed.IncludeArea1.Sensitivity": "75",
            "LineCrossed.IncludeArea1.Person": "true",
            "LineCrossed.IncludeArea2.Enable": "false",
            "LineCrossed.IncludeArea2.Sensitivity": "50",
            "LineCrossed.IncludeArea3.Sensitivity": "50",
            "LineCrossed.IncludeArea4.Sensitivity": "50",
            "Intrusion.IncludeArea1.Enable": "true",
            "Intrusion.IncludeArea1.Figure": "{\"figure\": {\"color\": \"#0000ff\", \"points\": [[0.1, 0.1], [0.5, 0.05], [0.9, 0.1], [0.9, 0.9], [0.1, 0.9]]}, \"label\": \"Desk\", \"showOnCamera\": false}",
            "Intrusion.IncludeArea1.Sensitivity": "65",
            "Intrusion.IncludeArea1.TimeThreshold": "3",
            "Intrusion.IncludeArea2.Sensitivity": "50", "Intrusion.IncludeArea2.TimeThreshold": "1",
            "Intrusion.IncludeArea3.Sensitivity": "50", "Intrusion.IncludeArea3.TimeThreshold": "1",
            "Intrusion.IncludeArea4.Sensitivity": "50", "Intrusion.IncludeArea4.TimeThreshold": "1"}},
        {"atMs": 1300, "do": "readSettings", "camera": "lobby"}
    ]
}
)json";
    return kText;
}

}  // namespace korvane::host::cli
