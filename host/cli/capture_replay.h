// Capture replay: a capture turned into a simulation that plays it again. Each camera the
// capture logged in to becomes a simulated camera with its address, port, login name,
// channels and rule capabilities, and the rules, switches and combinations as it last
// reported them; it accepts any password (the capture holds none), and the calls that failed
// in the capture fail again at the same call of the same operation with the same error. The
// captured alarms (with their camera times) and detections become timed entries at their
// captured times since the start of the capture. A session the capture lost (logged out
// after failed checks) is lost again: an outage entry restarts the camera, away while it was
// silent and back just before the first failed check, so that the replayed plugin checks
// when video comes back and meets the captured failures.
//
// Pure functions of their arguments, apart from printing; thread-safe.

#pragma once

#include <cstdio>

#include <nx/kit/json.h>

#include "host/cli/capture_reader.h"

namespace korvane::host::cli
{

// The simulation file of `capture`, as JSON ({"cameras", "activity", "lengthMs"}).
nx::kit::Json simulationOfCapture(const Capture& capture);

// Prints a simulation file's JSON with one camera and one activity entry per line.
void printSimulation(const nx::kit::Json& simulation, std::FILE* output);

}  // namespace korvane::host::cli
