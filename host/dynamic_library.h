// DynamicLibrary: a shared library opened by path, the functions it exports, and the files
// the loader chose for it and for the running program.
//
// The one place of the host that tells Windows (LoadLibrary, GetProcAddress,
// GetModuleFileName) from Linux (dlopen, dlsym, dladdr). A library stays loaded until
// unload() is called, even when its DynamicLibrary object goes. Thread-safe: the operations
// may be called from any thread.

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

    // The library at `path`, or null with `*errorMessage` set when it cannot be loaded. Its
    // own dependencies are looked for as the platform does for a server's plugin: on Linux
    // through the library's run path, on Windows (for a path with a folder) in the library's
    // folder first.
    static std::unique_ptr<DynamicLibrary> open(const std::string& path, std::string* errorMessage);

    // The platform's file name for `baseName`: "lib<baseName>.so" on Linux, "<baseName>.dll"
    // on Windows.
    static std::string fileName(const std::string& baseName);

    // `relativePath` taken from the folder of the running program; an absolute path as it is.
    // Empty when the program's own file cannot be found.
    static std::string besideProgram(const std::string& relativePath);

    // The folder part of `path`, with its separator ("" for a bare file name).
    static std::string folderOf(const std::string& path);

    // The exported function named `name`, or null when the library has none of that name.
    Function function(const char* name) const;

    // The full path of the library that this library's dependency `baseName` resolved to, as
    // the loader bound it: on Linux the library that gives this library `functionName` (one
    // loaded ahead of the others, a preloaded one, wins, as it does for the loader); on
    // Windows the module of that file name. Empty when there is none.
    std::string dependencyPath(const std::string& baseName, const char* functionName) const;

    // Gives back this object's hold on the library: the library is unloaded when nothing
    // else holds it. REQUIRES: nothing of the library is used afterwards.
    void unload();

    explicit DynamicLibrary(void* handle) : m_handle(handle) {}

private:
    void* const m_handle;
};

}  // namespace korvane::host
