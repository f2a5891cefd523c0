#include "rule_set_sync.h"

#include <exception>

#include <nx/kit/debug.h>
#include <nx/kit/utils.h>

#include "plugin/boundary_guard.h"
#include "plugin/manifests/settings_application.h"
#include "rule_failures.h"

namespace nx::vms_server_plugins::analytics::sample
{

using nx::kit::debug::toDiagnosticText;

void reportCameraFailure(const RuleSession& session, RuleKind kind, const char* operation,
                         const char* consequence)
{
    const int32_t lastError = OSTREL_GetLastError();
    const std::string camera =
        session.cameraAddress.empty() ? "the camera" : "the camera " + session.cameraAddress;
    NX_KIT_PRINT(session.printPrefix)
        << "ERROR: Unable to " << operation << " of the " << ruleKindInfo(kind).name << " kind on "
        << camera << ": OSTREL_GetLastError() = " << lastError << (*consequence ? "; " : "")
        << consequence << ".";
    if (session.failures)
        session.failures->add(kind, operation, lastError, consequence);
}

bool readNumberSetting(RuleKind kind, const RuleSession& session, const SettingLookup& lookup,
                       const std::string& key, uint32_t* value)
{
    const std::string text = lookup(key);
    int number = 0;
    std::string error;
    if (!nx::kit::utils::stoi(text, &number, &error))
    {
        NX_KIT_PRINT(session.printPrefix)
            << "ERROR: Rule setting " << toDiagnosticText(key) << " has the value "
            << toDiagnosticText(text) << ", which is not a number: " << error
            << "; the rules of its kind are not written.";
        if (session.failures && (!session.received || session.received(key)))
            session.failures->addNotANumber(kind, key, text);
        return false;
    }
    // The camera field is unsigned; a negative setting wraps as the camera would read it.
    *value = static_cast<uint32_t>(number);
    return true;
}

void reportUnsupportedSwitch(RuleKind kind, const RuleSession& session, const SettingLookup& lookup)
{
    const char* const key = ruleKindInfo(kind).switchKey;
    // Only a switch the user asked for: a missing or unreadable key is no request.
    if (!parseBooleanSetting(lookup(key)))
        return;
    reportNotSwitchedOn(
        kind, session,
        "the camera does not support it on channel " + std::to_string(session.channel));
}

void reportNotSwitchedOn(RuleKind kind, const RuleSession& session, const std::string& why)
{
    NX_KIT_PRINT(session.printPrefix) << "ERROR: The " << ruleKindInfo(kind).name
                                      << " kind could not be switched on on the camera "
                                      << session.cameraAddress << ": " << why << ".";
    if (session.failures)
        session.failures->addNotSwitchedOn(kind, why);
}

void applySwitchSetting(RuleKind kind, const RuleSession& session, const SettingLookup& lookup)
{
    const bool on = lookup(ruleKindInfo(kind).switchKey) != "false";
    applyRuleSwitch(session, on, kind);
}

void runGuarded(const std::string& printPrefix, const char* operation,
                const std::function<void()>& body)
{
    std::string errorText;
    if (runCatching(body, &errorText))
        return;
    // An exception that is not a std::exception has no text to give.
    if (errorText.empty())
        NX_KIT_PRINT(printPrefix) << "ERROR: Unable to " << operation << ".";
    else
        NX_KIT_PRINT(printPrefix) << "ERROR: Unable to " << operation << ": " << errorText;
}

}  // namespace nx::vms_server_plugins::analytics::sample
