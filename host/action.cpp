#include "action.h"

#include <nx/sdk/helpers/string_map.h>

namespace korvane::host
{

namespace
{

nx::sdk::Ptr<nx::sdk::IStringMap> makeParams(const ActionDescription& description)
{
    if (!description.hasParams)
        return nullptr;
    auto map = nx::sdk::makePtr<nx::sdk::StringMap>();
    for (const auto& [key, value] : description.params)
        map->setItem(key, value);
    return map;
}

}  // namespace

Action::Action(ActionDescription description)
    : m_description(std::move(description)),
      m_params(makeParams(m_description)),
      m_trackInfo(m_description.hasObjectTrackInfo ? nx::sdk::makePtr<ObjectTrackInfo>() : nullptr)
{
}

nx::sdk::analytics::IObjectTrackInfo* Action::objectTrackInfo() const
{
    return nx::sdk::shareToPtr(m_trackInfo.get()).releasePtr();
}

const nx::sdk::IStringMap* Action::params() const
{
    return nx::sdk::shareToPtr(m_params.get()).releasePtr();
}

}  // namespace korvane::host
