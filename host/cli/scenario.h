// Scenario: what the command-line host runs — simulated cameras, then steps in time order.
//
// A scenario is a JSON text:
//   {"cameras": [{"name": "lobby", "address": "10.0.0.1", "port": 8000, "login": "admin",
//                 "password": "secret", "channelCount": 1,
//                 "channels": [{"number": 0, "lineCross": 1, "intrusion": 1,
//                               "enterArea": 1, "leaveArea": 1}],
//                 "device": {"id": "lobby", "url": "http://10.0.0.1:8000/",
//                            "login": "admin", "password": "secret", "channel": 0}}],
//    "steps": [{"atMs": 0, "do": "connect", "camera": "lobby"}, ...]}
// "device" is what the server knows of the camera; every member defaults to the camera's
// own values. A camera may also accept any password ("anyPassword": true) and fail chosen
// calls ("failures": [{"op": "OSTREL_Login", "call": 1, "error": 3}]: its first login
// fails with the last error 3). Steps run in ascending "atMs" (equal times keep their order); what
// each step takes besides "do" and "camera" is described in scenario_runner.h. The cameras
// are read strictly (camera_records.h): an unknown member or a bad value refuses the file.
// Values only.

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include <nx/kit/json.h>

#include "ostrel_sdk/ostrel_control.h"

namespace korvane::host::cli
{

struct ChannelSpec
{
    int32_t number = 0;
    uint32_t lineCrossCapability = 1;
    uint32_t intrusionCapability = 1;
    uint32_t enterAreaCapability = 1;
    uint32_t leaveAreaCapability = 1;
    ostrel::control::ChannelConfig rules;  //< Its rule sets and switches (no capabilities).
};

struct CameraSpec
{
    std::string name;
    std::string address;
    int32_t port = 80;
    std::string login;
    std::string password;
    bool anyPassword = false;  //< A login with `login` opens a session whatever its password.
    std::vector<ostrel::control::CameraFailure> failures;  //< Calls of the camera that fail.
    int32_t channelCount = 1;
    std::vector<ChannelSpec> channels;
    // What the server knows.
    std::string deviceId;
    std::string deviceUrl;
    std::string deviceLogin;
    std::string devicePassword;
    int32_t deviceChannel = 0;
};

// What a step does, with its members read into values.
struct ConnectStep
{
};
struct SettingsStep
{
    std::map<std::string, std::string> values;
};
struct AlarmStep
{
    int32_t code = 0;
    int64_t timeSeconds = 0;
};
struct ObjectsStep
{
    ostrel::control::StructuredBatch batch;
};
struct FramesStep
{
    int64_t count = 1;
    int64_t firstTimestampUs = 0;
    int64_t stepUs = 33333;
};
struct ReadSettingsStep
{
};
struct DisconnectStep
{
};
// A "do" the host does not know; running it fails the step.
struct UnknownStep
{
};

using StepAction = std::variant<ConnectStep, SettingsStep, AlarmStep, ObjectsStep, FramesStep,
                                ReadSettingsStep, DisconnectStep, UnknownStep>;

struct Step
{
    int64_t atMs = 0;
    std::string action;  //< The "do" member.
    std::string camera;
    StepAction what;
};

struct Scenario
{
    std::vector<CameraSpec> cameras;
    std::vector<Step> steps;  //< Sorted by atMs.
};

// Parses `text` into `*json`; false with `*errorText` set ("The <what> is not a JSON
// object: ...") when it is not a JSON object.
bool parseJsonObject(const std::string& text, const char* what, nx::kit::Json* json,
                     std::string* errorText);

class JsonFields;

// Reads the list of camera objects "cameras" of a scenario or simulation file that `file`
// reads (see camera_records.h); false with the error set when a camera is not valid, or two
// share a name.
bool readCameras(JsonFields* file, std::vector<CameraSpec>* cameras);

// Reads a scenario; false with `*errorText` set when the text is not a valid scenario.
bool parseScenario(const std::string& text, Scenario* scenario, std::string* errorText);

// The scenario that runs when none is given.
const std::string& defaultScenarioText();

}  // namespace korvane::host::cli
