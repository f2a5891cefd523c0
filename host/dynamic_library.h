// DynamicLibrary: a shared library opened by path, and the functions it exports.
//
// The one place of the host that tells Windows (LoadLibrary, GetProcAddress) from Linux
// (dlopen, dlsym). A library stays loaded until unload() is called, even when its
// DynamicLibrary object goes. Thread-safe: the operations may be called from any thread.

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
    static std::unique_ptr<DynamicLibrary> open(const std::string& path, std::string* errorMessage);

    // The platform's file name for `baseName`: "lib<baseName>.so" on Linux, "<baseName>.dll"
    // on Windows.
    static std::string fileName(const std::string& baseName);

    // The library that the process has already loaded under the platform's file name for
    // `baseName` ("lib<baseName>.so" on Linux, "<baseName>.dll" on Windows), for instance as
    // a dependency of another library; null when none is loaded. Loads nothing.
    static std::unique_ptr<DynamicLibrary> findLoaded(const std::string& baseName);

    // The exported function named `name`, or null when the library has none of that name.
    Function function(const char* name) const;

    // Gives back this object's hold on the library: the library is unloaded when nothing
    // else holds it. REQUIRES: nothing of the library is used afterwards.
    void unload();

    explicit DynamicLibrary(void* handle) : m_handle(handle) {}

private:
    void* const m_handle;
};

}  // namespace korvane::host
