#include "report.h"

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
        std::fprintf(m_output, "%s\n", nx::kit::Json(std::move(entry.fields)).dump().c_str());
    }
    else
    {
        std::fprintf(m_output, "[%7lld ms] %-8s %s\n", static_cast<long long>(atMs), camera.c_str(),
                     entry.text.c_str());
    }
    std::fflush(m_output);
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
        std::fprintf(m_output, "%s\n", nx::kit::Json(std::move(entry.fields)).dump().c_str());
    }
    else
    {
        std::fprintf(m_output, "%s\n", entry.text.c_str());
    }
    std::fflush(m_output);
}

}  // namespace korvane::host::cli
