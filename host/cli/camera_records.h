// Camera SDK stand-in records from the JSON of a scenario or simulation file: a camera's
// configuration with its channels and rules, and a batch of detections.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <string>
#include <vector>

#include <nx/kit/json.h>
#include "ostrel_sdk/ostrel_control.h"

#include "host/cli/scenario.h"

namespace korvane::host::cli
{

// The simulated camera that `spec` describes, with its channels' capabilities and rules.
ostrel::control::CameraConfig cameraConfigOf(const CameraSpec& spec);

// The detections of a JSON object with "faces", "persons" and "vehicles" lists of records
// by code ("gender", "age", ..., "vehicleType", "speed", "plateNumber", ...).
ostrel::control::StructuredBatch batchOf(const nx::kit::Json& json);

// The calls a camera is to fail, from a list of {"op": "OSTREL_...", "call": n, "error": e}
// (the nth call of that operation on the camera, counting from 1); false with `*errorText`
// set for an unknown operation or a call number below 1.
bool cameraFailuresOf(const nx::kit::Json& list,
                      std::vector<ostrel::control::CameraFailure>* failures,
                      std::string* errorText);

}  // namespace korvane::host::cli
