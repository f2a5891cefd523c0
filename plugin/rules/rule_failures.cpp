#include "rule_failures.h"

#include <utility>

#include <nx/kit/debug.h>

namespace nx::vms_server_plugins::analytics::sample
{

void RuleFailures::add(RuleKind kind, const char* operation, int32_t lastError,
                       const char* consequence)
{
    std::string part = std::string("unable to ") + operation + " of the " +
                       ruleKindInfo(kind).name +
                       " kind (OSTREL_GetLastError() = " + std::to_string(lastError) + ")";
    if (consequence && *consequence)
        part += std::string(", so ") + consequence;
    m_parts.push_back(std::move(part));
}

void RuleFailures::addReason(std::string reason)
{
    m_parts.push_back(std::move(reason));
}

void RuleFailures::addNotANumber(RuleKind kind, const std::string& key, const std::string& value)
{
    m_parts.push_back("the setting " + key + " has the value " +
                      nx::kit::debug::toDiagnosticText(value) +
                      ", which is not a number, so the rules of the " + ruleKindInfo(kind).name +
                      " kind were not written");
}

void RuleFailures::addNotSwitchedOn(RuleKind kind, const std::string& why)
{
    m_parts.push_back(std::string("the ") + ruleKindInfo(kind).name +
                      " kind could not be switched on: " + why);
}

std::string RuleFailures::message(const std::string& cameraAddress) const
{
    std::string text = "The settings did not all reach the camera " + cameraAddress + ": ";
    for (size_t i = 0; i < m_parts.size(); ++i)
        text += (i == 0 ? "" : "; ") + m_parts[i];
    return text + ".";
}

}  // namespace nx::vms_server_plugins::analytics::sample
