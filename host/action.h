// Action: a user action on an object track, as the host hands it to an engine, with the
// host's object track information. Immutable after construction.

#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <nx/sdk/analytics/i_action.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

namespace korvane::host
{

class ObjectTrackInfo final : public nx::sdk::RefCountable<nx::sdk::analytics::IObjectTrackInfo>
{
public:
    ObjectTrackInfo() = default;

private:
    ~ObjectTrackInfo() override = default;
};

// The values an Action answers; a null parameter map is given when `hasParams` is false.
struct ActionDescription
{
    std::string actionId;
    nx::sdk::Uuid objectTrackId;
    nx::sdk::Uuid deviceId;
    int64_t timestampUs = 0;
    std::map<std::string, std::string> params;
    bool hasParams = true;
    bool hasObjectTrackInfo = true;
};

class Action final : public nx::sdk::RefCountable<nx::sdk::analytics::IAction>
{
public:
    explicit Action(ActionDescription description);

    const char* actionId() const override { return m_description.actionId.c_str(); }
    NX_SDK_RETURN_BY_VALUE_OVERRIDE(nx::sdk::Uuid, objectTrackId)
    {
        return m_description.objectTrackId;
    }
    NX_SDK_RETURN_BY_VALUE_OVERRIDE(nx::sdk::Uuid, deviceId) { return m_description.deviceId; }
    nx::sdk::analytics::IObjectTrackInfo* objectTrackInfo() const override;
    int64_t timestampUs() const override { return m_description.timestampUs; }
    const nx::sdk::IStringMap* params() const override;

    // The track information object this action hands out (null when it has none).
    const nx::sdk::Ptr<ObjectTrackInfo>& trackInfo() const { return m_trackInfo; }

    // The parameter map this action hands out (null when it has none).
    const nx::sdk::Ptr<nx::sdk::IStringMap>& paramsMap() const { return m_params; }

private:
    ~Action() override = default;

    const ActionDescription m_description;
    const nx::sdk::Ptr<nx::sdk::IStringMap> m_params;
    const nx::sdk::Ptr<ObjectTrackInfo> m_trackInfo;
};

}  // namespace korvane::host
