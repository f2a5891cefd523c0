// Fuzzes the camera URL parser: any text either parses or fails with one of its two
// documented errors, and a parsed host is always a piece of the URL.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "plugin/camera_url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string url(reinterpret_cast<const char*>(data), size);
    try
    {
        const auto address = nx::vms_server_plugins::analytics::sample::parseCameraUrl(url);
        if (url.find(address.host) == std::string::npos)
            __builtin_trap();
    }
    catch (const std::invalid_argument& e)
    {
        const std::string message = e.what();
        if (message != "Invalid URL format" && message != "Invalid port number")
            __builtin_trap();
    }
    catch (const std::out_of_range& e)
    {
        if (std::string(e.what()) != "stoi argument out of range")
            __builtin_trap();
    }
    return 0;
}
