#include "dynamic_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvane::host
{

#if defined(_WIN32)

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path,
                                                     std::string* errorMessage)
{
    HMODULE const module = LoadLibraryA(path.c_str());
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

std::unique_ptr<DynamicLibrary> DynamicLibrary::findLoaded(const std::string& baseName)
{
    HMODULE const module = GetModuleHandleA(fileName(baseName).c_str());
    return module ? std::make_unique<DynamicLibrary>(reinterpret_cast<void*>(module)) : nullptr;
}

DynamicLibrary::Function DynamicLibrary::function(const char* name) const
{
    return reinterpret_cast<Function>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
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

std::unique_ptr<DynamicLibrary> DynamicLibrary::findLoaded(const std::string& baseName)
{
    void* const handle = dlopen(fileName(baseName).c_str(), RTLD_NOW | RTLD_NOLOAD);
    return handle ? std::make_unique<DynamicLibrary>(handle) : nullptr;
}

DynamicLibrary::Function DynamicLibrary::function(const char* name) const
{
    return reinterpret_cast<Function>(dlsym(m_handle, name));
}

void DynamicLibrary::unload()
{
    dlclose(m_handle);
}

#endif

}  // namespace korvane::host
