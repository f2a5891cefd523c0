// Capture summary: what a person reads first when a capture comes back from a site. Per
// camera: sessions opened, lost (logged out after failed checks) and opened again (after a
// lost one or a failed login), failed logins with their errors, the channel list and rule
// capabilities, each alarm code with its count (codes the plugin does not know marked),
// detection counts by type, rule and switch reads and writes with their results, and the
// calls that failed.
//
// Pure functions of their arguments, apart from printing; thread-safe.

#pragma once

#include <cstdio>

#include <nx/kit/json.h>

#include "host/cli/capture_reader.h"

namespace korvane::host::cli
{

// The summary as JSON values: first the capture's own line ("kind": "capture"), then one
// per camera ("kind": "camera").
std::vector<nx::kit::Json> captureSummary(const Capture& capture);

// Prints the summary to `output`, as text or as JSON Lines.
void printCaptureSummary(const std::vector<nx::kit::Json>& summary, bool json, std::FILE* output);

}  // namespace korvane::host::cli
