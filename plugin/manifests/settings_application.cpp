#include "settings_application.h"

#include <algorithm>
#include <string_view>

#include <nx/kit/debug.h>
#include <nx/kit/utils.h>

#include "plugin/manifests/type_catalogue.h"

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// Keys are compared as views, which compare their lengths first: a page holds over a
// hundred keys, and comparing each with every name here byte by byte adds up.
bool isObjectTypeKey(std::string_view key)
{
    for (const std::string_view objectType :
         {kFaceObjectType, kPersonObjectType, kVehicleObjectType, kLicensePlateObjectType})
    {
        if (key == objectType)
            return true;
    }
    return false;
}

void applyTimestampShift(const std::string& value, const std::string& printPrefix,
                         AgentSwitches* switches)
{
    int shift = 0;
    std::string errorText;
    if (nx::kit::utils::stoi(value, &shift, &errorText))
    {
        switches->timestampShiftMs = shift;
        return;
    }
    NX_KIT_PRINT(printPrefix) << "ERROR: Setting "
                              << nx::kit::debug::toDiagnosticText(kTimestampShiftMsSetting)
                              << " has the value " << nx::kit::debug::toDiagnosticText(value)
                              << ", which is not a number (" << errorText
                              << "); keeping the shift of " << switches->timestampShiftMs << " ms.";
}

}  // namespace

bool parseBooleanSetting(const std::string& value)
{
    // ASCII only: the process locale must not change what a setting means.
    std::string lower = value;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c)
                   { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower == "true" || value == "1";
}

void applySettings(const std::map<std::string, std::string>& settings,
                   const std::string& printPrefix, AgentSwitches* switches)
{
    switches->enabledObjectTypes.clear();
    for (const auto& [key, value] : settings)
    {
        const std::string_view name = key;
        if (name == kSendAttributesSetting)
            switches->sendAttributes = parseBooleanSetting(value);
        else if (name == kTimestampShiftMsSetting)
            applyTimestampShift(value, printPrefix, switches);
        else if (isObjectTypeKey(name) && parseBooleanSetting(value))
            switches->enabledObjectTypes.insert(key);
    }
}

}  // namespace nx::vms_server_plugins::analytics::sample
