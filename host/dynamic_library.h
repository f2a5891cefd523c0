// DynamicLibrary: a shared library opened by path, and the functions it exports.
//
// The one place of the host that tells Windows (LoadLibrary, GetProcAddress) from Linux
// (dlopen, dlsym). A library once opened stays loaded for the life of the process, as a
// server keeps its plugins. Thread-safe: both operations may be called from any thread.

#pragma once

#include <memory>
#include <string>

namespace korvane::host
{

class DynamicLibrary
{
public:
    // Any exported function, before it is cast to its real type.
    using Function = void (*)();

    // The library at `path`, or null with `*errorMessage` set when it cannot be loaded.
    static std::unique_ptr<DynamicLibrary> open(const std::string& path,
                                                std::string* errorMessage);

    // The exported function named `name`, or null when the library has none of that name.
    Function function(const char* name) const;

    explicit DynamicLibrary(void* handle) : m_handle(handle) {}

private:
    void* const m_handle;
};

}  // namespace korvane::host
