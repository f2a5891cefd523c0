// HostObject: the object the host gives the plugin through setHostObject. The plugin keeps
// it for its lifetime and never calls it; it only has to be ref-countable.

#pragma once

#include <nx/sdk/i_ref_countable.h>
#include <nx/sdk/ref_countable.h>

namespace korvane::host
{

class HostObject final : public nx::sdk::RefCountable<nx::sdk::IRefCountable>
{
public:
    HostObject() = default;

private:
    ~HostObject() override = default;
};

}  // namespace korvane::host
