// The one guard at the plugin's boundaries: nothing may leave a host hook or a Camera SDK
// callback as an exception, so every such entry point runs its work through runCatching()
// and reports a failure in its own words.
//
// Thread-safety: a pure function of its arguments.

#pragma once

#include <exception>
#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

// Runs `body` and returns true when it completed. When it throws, catches everything,
// sets *errorText (when errorText is not null) to the exception's text, or to the empty
// text for an exception that is not a std::exception, and returns false.
template <typename Body>
bool runCatching(Body&& body, std::string* errorText)
{
    try
    {
        body();
        return true;
    }
    catch (const std::exception& e)
    {
        if (errorText)
            *errorText = e.what();
    }
    catch (...)
    {
        if (errorText)
            errorText->clear();
    }
    return false;
}

}  // namespace nx::vms_server_plugins::analytics::sample
