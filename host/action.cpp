#include "action.h"

#include "host/string_maps.h"

namespace korvane::host
{

Action::Action(ActionDescription description)
    : m_description(std::move(description)),
      m_params(m_description.hasParams ? makeStringMap(m_description.params) : nullptr),
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
