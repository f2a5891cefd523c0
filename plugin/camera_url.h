// Camera URL parsing: the host text and port that the Camera SDK login needs.
//
// Pure functions; thread-safe.

#pragma once

#include <cstdint>
#include <string>

namespace nx::vms_server_plugins::analytics::sample
{

struct CameraAddress
{
    std::string host;
    int32_t port = 80;
};

// The host and port of a URL such as "http://192.168.0.10:8000/path": the text between
// "://" and the next "/", without the user information ("user:password@", up to the last
// "@" before any "?" or "#"), split at its last ":" (port 80 when there is none). The port is
// read as a leading decimal number and passed on unchecked, as the camera's login expects.
// Throws std::invalid_argument("Invalid URL format") when there is no "://" (or the URL is
// shorter than 3 characters), std::invalid_argument("Invalid port number") when no number
// starts the port text, and std::out_of_range("stoi argument out of range") when it does
// not fit 32 bits.
CameraAddress parseCameraUrl(const std::string& url);

}  // namespace nx::vms_server_plugins::analytics::sample
