// IEngineInfo: what the host tells an engine about itself; a host object.

#pragma once

#include <nx/sdk/interface.h>

namespace nx::sdk::analytics
{

class IEngineInfo : public Interface<IEngineInfo>
{
public:
    static constexpr const char* interfaceId() { return "nx::sdk::analytics::IEngineInfo"; }

    // The engine id text; part of the engine's print prefix.
    virtual const char* id() const = 0;
    // The engine name the user sees.
    virtual const char* name() const = 0;

protected:
    ~IEngineInfo() = default;
};

}  // namespace nx::sdk::analytics
