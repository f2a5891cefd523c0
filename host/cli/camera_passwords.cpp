#include "camera_passwords.h"

#include <cstdio>
#include <fstream>

#include "host/cli/console.h"

namespace korvane::host::cli
{

namespace
{

// The first line of the file at `path`, without its line end; false when it cannot be read.
bool readFirstLine(const std::string& path, std::string* line)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::getline(file, *line);
    if (file.bad())
        return false;
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return true;
}

bool readPassword(CameraOption* camera, std::string* errorText)
{
    if (!camera->passwordFile.empty())
    {
        if (!readFirstLine(camera->passwordFile, &camera->password))
            *errorText = "cannot read the password file " + camera->passwordFile;
        else if (camera->password.empty())
            *errorText = "the password file " + camera->passwordFile + " is empty";
        return errorText->empty();
    }
    if (port::inputIsTerminal())
    {
        std::fprintf(stderr, "Password for %s: ", redactedUrl(camera->url).c_str());
        std::fflush(stderr);
    }
    if (!readLineWithoutEcho(&camera->password) || camera->password.empty())
        *errorText = "no password was given for the camera " + redactedUrl(camera->url);
    return errorText->empty();
}

}  // namespace

bool readCameraPasswords(std::vector<CameraOption>* cameras, std::string* errorText)
{
    for (CameraOption& camera : *cameras)
    {
        if ((!camera.passwordFile.empty() || camera.passwordFromInput) &&
            !readPassword(&camera, errorText))
        {
            return false;
        }
    }
    return true;
}

}  // namespace korvane::host::cli
