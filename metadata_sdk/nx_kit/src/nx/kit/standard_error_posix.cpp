#include "standard_error.h"

#include <unistd.h>

#include <cerrno>

namespace nx::kit::debug
{

void writeToStandardError(const char* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t written = write(STDERR_FILENO, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= static_cast<size_t>(written);
    }
}

}  // namespace nx::kit::debug
