// SettingsResponse: the library's ISettingsResponse, the settings values it reports back.
//
// Only the values map is ever filled (created on first use); the errors map and the model
// stay null. Not locked: filled by one thread before it is published.

#pragma once

#include <string>

#include <nx/sdk/helpers/string_map.h>
#include <nx/sdk/i_settings_response.h>
#include <nx/sdk/i_string.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk
{

class SettingsResponse final : public RefCountable<ISettingsResponse>
{
public:
    SettingsResponse() = default;

    // Sets one value, creating the values map on first use (see StringMap::setItem).
    void setValue(const std::string& key, const std::string& value);

    const IStringMap* values() const override;
    const IStringMap* errors() const override;
    const IString* model() const override;

private:
    ~SettingsResponse() override = default;

    Ptr<StringMap> m_values;
    Ptr<StringMap> m_errors;
    Ptr<IString> m_model;
};

}  // namespace nx::sdk
