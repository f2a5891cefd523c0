// Camera SDK stand-in records from the JSON of a scenario or simulation file, read strictly
// (see json_fields.h): a camera with its channels, rules and failing calls, and a batch of
// detections. The members each record may hold, and their ranges, are those of the Camera
// SDK's record fields; the names are those a capture of the recording Camera SDK gives them,
// so that a capture's records read back as they are.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <string>
#include <vector>

#include <nx/kit/json.h>
#include "ostrel_sdk/ostrel_control.h"

#include "host/cli/json_fields.h"
#include "host/cli/scenario.h"

namespace korvane::host::cli
{

// Reads the camera object `json` found at `path`:
//   {"name", "address" (both required), "port" (80), "login" ("admin"), "password" (""),
//    "anyPassword" (false), "failures" ([]), "channelCount" (1),
//    "channels" ([channel 0, every capability 1]),
//    "device": {"id", "url", "login", "password", "channel"} (the camera's own values)}
// A channel: {"number" (0), "lineCross", "intrusion", "enterArea", "leaveArea" (each 1),
//             "rules": {"lineCross", "intrusion", "enterArea", "leaveArea" (rule sets),
//                       "enabledTypes", "disabledTypes" ([type, ...]),
//                       "combinations" ([[type, ...], ...])}}
// A rule set: {"count" (the number of rules), "rules": [rule, ...]}; a rule: {"ruleIndex"
// (its place), "enabled" (1), "sensitivity" (50), "priority" (0), "filters" ([filter, ...]),
// "filterCount" (what a read reports; default: the filters copied), and for a line
// "direction", "start": [x, y], "end": [x, y], for an area "timeThreshold", "points":
// [[x, y], ...] (at most 6), "pointCount" (default: the points given)}. A filter: {"type",
// "enabled" (1), "firstParameters", "secondParameters" (at most 8 bytes each)}. A failure:
// {"op": "OSTREL_...", "call": n (the nth call of that operation on the camera, from 1),
// "error": e (the last error it leaves)}.
// False with `*errorText` set ("<path>: <what is wrong>") when it is not valid.
bool readCamera(const nx::kit::Json& json, const std::string& path, CameraSpec* camera,
                std::string* errorText);

// Reads the lists "faces", "persons" and "vehicles" of the object `fields` reads into
// `*batch`: records by code ("gender", "age", ..., "vehicleType", "speed", "plateNumber",
// ...; a capture's "plateNumberHex" gives a plate's bytes in hexadecimal, and its "speed"
// null a speed that was not a number). False when a record is not valid.
bool readBatch(JsonFields* fields, ostrel::control::StructuredBatch* batch);

// The simulated camera that `spec` describes, with its channels' capabilities and rules.
ostrel::control::CameraConfig cameraConfigOf(const CameraSpec& spec);

}  // namespace korvane::host::cli
