#include "report.h"

namespace korvane::host::cli
{

Report::Report(std::FILE* output, bool json) : m_output(output), m_json(json) {}

void Report::add(int64_t atMs, const std::string& camera, const std::string& kind,
                 nx::kit::Json::Object fields, const std::string& text)
{
    if (m_json)
    {
        fields["atMs"] = static_cast<double>(atMs);
        fields["camera"] = camera;
        fields["kind"] = kind;
        std::fprintf(m_output, "%s\n", nx::kit::Json(std::move(fields)).dump().c_str());
    }
    else
    {
        std::fprintf(m_output, "[%7lld ms] %-8s %s\n", static_cast<long long>(atMs), camera.c_str(),
                     text.c_str());
    }
    std::fflush(m_output);
}

void Report::note(const std::string& kind, nx::kit::Json::Object fields, const std::string& text)
{
    if (m_json)
    {
        fields["kind"] = kind;
        std::fprintf(m_output, "%s\n", nx::kit::Json(std::move(fields)).dump().c_str());
    }
    else
    {
        std::fprintf(m_output, "%s\n", text.c_str());
    }
    std::fflush(m_output);
}

}  // namespace korvane::host::cli
