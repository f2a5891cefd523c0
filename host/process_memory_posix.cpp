#include "process_memory.h"

#include <unistd.h>

#include <cstdio>

namespace korvane::host
{

int64_t residentBytes()
{
    std::FILE* const file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return -1;
    long long totalPages = 0;
    long long residentPages = 0;
    const int read = std::fscanf(file, "%lld %lld", &totalPages, &residentPages);
    std::fclose(file);
    if (read != 2)
        return -1;
    return residentPages * sysconf(_SC_PAGESIZE);
}

}  // namespace korvane::host
