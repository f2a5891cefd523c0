#include "dynamic_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <vector>

namespace korvane::host
{

namespace
{

// `relativePath` from `folder`, without the "." and ".." steps between them.
std::string joined(const std::string& folder, const std::string& relativePath)
{
    return std::filesystem::path(folder + relativePath).lexically_normal().string();
}

}  // namespace

std::string DynamicLibrary::folderOf(const std::string& path)
{
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

#if defined(_WIN32)

namespace
{

// Room for the longest path Windows names.
constexpr DWORD kLongestPath = 32768;

std::string moduleFile(HMODULE module)
{
    std::vector<char> path(kLongestPath);
    const DWORD length = GetModuleFileNameA(module, path.data(), kLongestPath);
    return length == 0 || length >= kLongestPath ? std::string() : std::string(path.data(), length);
}

// `path` with Windows' separators, made absolute, as LOAD_WITH_ALTERED_SEARCH_PATH needs it.
std::string fullPath(std::string path)
{
    for (char& c : path)
    {
        if (c == '/')
            c = '\\';
    }
    std::vector<char> full(kLongestPath);
    const DWORD length = GetFullPathNameA(path.c_str(), kLongestPath, full.data(), nullptr);
    return length == 0 || length >= kLongestPath ? path : std::string(full.data(), length);
}

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path,
                                                     std::string* errorMessage)
{
    // A library named with its folder has the DLLs it imports looked for in that folder
    // first, as the plugin's Camera SDK beside it; a bare name is searched for as usual.
    HMODULE const module = folderOf(path).empty() ? LoadLibraryA(path.c_str())
                                                  : LoadLibraryExA(fullPath(path).c_str(), nullptr,
                                                                   LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
    {
        *errorMessage = "Unable to load " + path + ": error " + std::to_string(GetLastError());
        return nullptr;
    }
    return std::make_unique<DynamicLibrary>(reinterpret_cast<void*>(module));
}

std::string DynamicLibrary::fileName(const std::string& baseName)
{
    return baseName + ".dll";
}

std::string DynamicLibrary::besideProgram(const std::string& relativePath)
{
    const bool absolute =
        !relativePath.empty() && (relativePath[0] == '\\' || relativePath[0] == '/' ||
                                  (relativePath.size() > 1 && relativePath[1] == ':'));
    if (absolute)
        return relativePath;
    const std::string program = moduleFile(nullptr);
    return program.empty() ? std::string() : joined(folderOf(program), relativePath);
}

DynamicLibrary::Function DynamicLibrary::function(const char* name) const
{
    return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

std::string DynamicLibrary::dependencyPath(const std::string& baseName,
                                           const char* /*functionName*/) const
{
    // Imports bind to the module loaded under their DLL's name, whichever folder it came from.
    HMODULE const module = GetModuleHandleA(fileName(baseName).c_str());
    return module ? moduleFile(module) : std::string();
}

void DynamicLibrary::unload()
{
    FreeLibrary(static_cast<HMODULE>(m_handle));
}

#else

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path,
                                                     std::string* errorMessage)
{
    void* const handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* const reason = dlerror();
        *errorMessage = "Unable to load " + path + ": " + (reason ? reason : "unknown error");
        return nullptr;
    }
    return std::make_unique<DynamicLibrary>(handle);
}

std::string DynamicLibrary::fileName(const std::string& baseName)
{
    return "lib" + baseName + ".so";
}

std::string DynamicLibrary::besideProgram(const std::string& relativePath)
{
    if (!relativePath.empty() && relativePath[0] == '/')
        return relativePath;
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof(program) - 1);
    if (length <= 0)
        return {};
    return joined(folderOf(std::string(program, static_cast<size_t>(length))), relativePath);
}

DynamicLibrary::Function DynamicLibrary::function(const char* name) const
{
    return reinterpret_cast<Function>(dlsym(m_handle, name));
}

std::string DynamicLibrary::dependencyPath(const std::string& /*baseName*/,
                                           const char* functionName) const
{
    // The loader binds a library's undefined symbol to the first definition in the global
    // scope (the program, preloaded libraries), and only then to one of its own dependencies.
    void* symbol = dlsym(RTLD_DEFAULT, functionName);
    if (!symbol)
        symbol = dlsym(m_handle, functionName);
    Dl_info info{};
    if (!symbol || dladdr(symbol, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return {};
    if (info.dli_fname[0] == '/')
        return info.dli_fname;
    char resolved[PATH_MAX];
    return realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
}

void DynamicLibrary::unload()
{
    dlclose(m_handle);
}

#endif

}  // namespace korvane::host
