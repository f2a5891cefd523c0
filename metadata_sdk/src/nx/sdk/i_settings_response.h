// ISettingsResponse: the settings values the library reports back to the host.
//
// Two versions: ISettingsResponse0 (id "nx::sdk::ISettingsResponse") holds the values and
// errors maps; ISettingsResponse (id "nx::sdk::ISettingsResponse1") adds the model text.
// Each getter returns its member with a reference added for the caller, or null.
// Filled by one thread before it is published; not locked.

#pragma once

#include <nx/sdk/i_string.h>
#include <nx/sdk/i_string_map.h>
#include <nx/sdk/interface.h>

namespace nx::sdk
{

class ISettingsResponse0 : public Interface<ISettingsResponse0>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::ISettingsResponse"; }

    // Slot 4: the values map with a reference added, or null.
    virtual const IStringMap* values() const = 0;

    // Slot 5: the errors map with a reference added, or null.
    virtual const IStringMap* errors() const = 0;

protected:
    ~ISettingsResponse0() = default;
};

class ISettingsResponse : public Interface<ISettingsResponse, ISettingsResponse0>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::ISettingsResponse1"; }

    // Slot 6: the model text with a reference added, or null.
    virtual const IString* model() const = 0;

protected:
    ~ISettingsResponse() = default;
};

}  // namespace nx::sdk
