#include "report.h"

#include "host/cli/console.h"
#include "host/cli/safe_text.h"

namespace korvane::host::cli
{

Report::Report(std::FILE* output, bool json) : m_output(output), m_json(json) {}

void Report::add(int64_t atMs, const std::string& camera, ReportEntry entry)
{
    if (entry.kind == kErrorEntryKind)
        addFailure(camera, failureOf(entry));
    if (m_json)
    {
        entry.fields["atMs"] = static_cast<double>(atMs);
        entry.fields["camera"] = camera;
        entry.fields["kind"] = entry.kind;
        writeJson(std::move(entry.fields));
    }
    else
    {
        std::fprintf(m_output, "[%7lld ms] %-8s %s\n", static_cast<long long>(atMs),
                     terminalText(camera).c_str(), entry.text.c_str());
    }
    flush();
}

void Report::addFailure(const std::string& camera, const std::string& what)
{
    m_failures.push_back(camera.empty() ? what : camera + ": " + what);
}

void Report::note(ReportEntry entry)
{
    if (entry.kind == kErrorEntryKind)
        m_failures.push_back(failureOf(entry));
    if (m_json)
    {
        entry.fields["kind"] = entry.kind;
        writeJson(std::move(entry.fields));
    }
    else
    {
        std::fprintf(m_output, "%s\n", entry.text.c_str());
    }
    flush();
}

void Report::writeJson(nx::kit::Json::Object fields)
{
    const std::string line = cleanJsonText(nx::kit::Json(std::move(fields)).dump());
    std::fprintf(m_output, "%s\n", line.c_str());
}

void Report::flush()
{
    // Output that cannot be written ends the run: nobody sees what it would report. The
    // stream's error indicator stays set for the exit status.
    if (std::fflush(m_output) != 0 || std::ferror(m_output))
        requestInterrupt();
}

}  // namespace korvane::host::cli
