#include "standard_error.h"

#include <io.h>

#include <climits>

namespace nx::kit::debug
{

// Through the C runtime's descriptor 2, not the console handle: what redirects the standard
// error stream (_dup2, as tests do) redirects these lines too, and the descriptor's text mode
// ends each line as the stream's own writes do.
void writeToStandardError(const char* data, size_t size)
{
    while (size > 0)
    {
        const unsigned chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
        const int written = _write(2, data, chunk);
        // In text mode the count may include the carriage returns added: never step past.
        if (written <= 0 || static_cast<size_t>(written) >= size)
            return;
        data += written;
        size -= static_cast<size_t>(written);
    }
}

}  // namespace nx::kit::debug
