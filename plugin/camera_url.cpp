#include "camera_url.h"

#include <stdexcept>

#include <nx/kit/utils.h>

namespace nx::vms_server_plugins::analytics::sample
{

namespace
{

// The text between the first "://" (or the user information after it) and the next "/"
// (or the end). The user information ("user:password@") is not part of the host: it ends at
// the last "@" before any query or fragment, so that a password holding "@", ":" or "/" is
// never taken for the host or the port.
std::string authorityOf(const std::string& url)
{
    const size_t schemeEnd = url.size() < 3 ? std::string::npos : url.find("://");
    if (schemeEnd == std::string::npos)
        throw std::invalid_argument("Invalid URL format");
    size_t start = schemeEnd + 3;
    const size_t query = url.find_first_of("?#", start);
    const size_t at = query == start
                          ? std::string::npos
                          : url.rfind('@', query == std::string::npos ? query : query - 1);
    if (at != std::string::npos && at >= start)
        start = at + 1;
    const size_t end = url.find('/', start);
    return url.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int32_t parsePort(const std::string& text)
{
    int port = 0;
    std::string errorText;
    if (nx::kit::utils::stoi(text, &port, &errorText))
        return port;
    if (errorText == "stoi argument out of range")
        throw std::out_of_range(errorText);
    throw std::invalid_argument("Invalid port number");
}

}  // namespace

CameraAddress parseCameraUrl(const std::string& url)
{
    const std::string authority = authorityOf(url);
    CameraAddress address;
    const size_t colon = authority.rfind(':');
    if (colon == std::string::npos)
    {
        address.host = authority;
        return address;
    }
    address.host = authority.substr(0, colon);
    address.port = parsePort(authority.substr(colon + 1));
    return address;
}

}  // namespace nx::vms_server_plugins::analytics::sample
