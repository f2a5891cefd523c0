// IAction: an action the user triggers on an object track; IActionResult: its outcome.
// Both are host objects except the result, which the engine may create.

#pragma once

#include <nx/sdk/i_string_map.h>
#include <nx/sdk/interface.h>
#include <nx/sdk/uuid.h>

namespace nx::sdk::analytics
{

// Information on the object track an action applies to; a host object.
class IObjectTrackInfo : public Interface<IObjectTrackInfo>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IObjectTrackInfo"; }

protected:
    ~IObjectTrackInfo() = default;
};

class IAction : public Interface<IAction>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IAction"; }

    // The id of the action, as the engine manifest declares it.
    virtual const char* actionId() const = 0;
    // The object track the action applies to.
    NX_SDK_RETURNS_BY_VALUE(Uuid, objectTrackId)
    // The device the object track belongs to.
    NX_SDK_RETURNS_BY_VALUE(Uuid, deviceId)
    // The track information with one reference added, or null.
    virtual IObjectTrackInfo* objectTrackInfo() const = 0;
    // The moment the action refers to.
    virtual int64_t timestampUs() const = 0;
    // The parameters the user gave, with one reference added, or null.
    virtual const IStringMap* params() const = 0;

protected:
    ~IAction() = default;
};

class IActionResult : public Interface<IActionResult>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IActionResult"; }

    // A URL for the host to open, or null.
    virtual const char* actionUrl() const = 0;
    // A message to show the user, or null.
    virtual const char* messageToUser() const = 0;

protected:
    ~IActionResult() = default;
};

}  // namespace nx::sdk::analytics
