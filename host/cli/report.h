// Report: what the command-line host prints of a run — the server's view of the plugin.
//
// Each entry is one line: human-readable ("[   200 ms] lobby    event Motion ...") or, in
// JSON mode, one compact JSON object per line with "atMs", "camera" and "kind" members. A
// line that cannot be written ends the run as the user's interrupt would.
// Not thread-safe: the runner reports from one thread.

#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/cli/report_entry.h"

namespace korvane::host::cli
{

class Report
{
public:
    // Writes to `output`, in JSON Lines when `json` is set.
    Report(std::FILE* output, bool json);

    // One entry about `camera`, `atMs` after the run began.
    void add(int64_t atMs, const std::string& camera, ReportEntry entry);

    // An entry that belongs to no camera (the header and the summary).
    void note(ReportEntry entry);

    // Remembers a failure of `camera` for the summary; error entries are remembered by add().
    void addFailure(const std::string& camera, const std::string& what);

    // The failures so far, as "<camera>: <what failed>", in the order they happened.
    const std::vector<std::string>& failures() const { return m_failures; }

private:
    void writeJson(nx::kit::Json::Object fields);

    // Sends the line on; asks for an interrupt when the output cannot be written.
    void flush();

    std::FILE* const m_output;
    const bool m_json;
    std::vector<std::string> m_failures;
};

}  // namespace korvane::host::cli
