#include "recorder_platform.h"

#include <windows.h>

#include <cstdlib>

namespace korvane::sdk_recorder
{

namespace
{

const std::string kRenamedMakerName = std::string(kRenamedMakerBaseName) + ".dll";

HMODULE ownModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&ownModule), &module);
    return module;
}

}  // namespace

std::string defaultMakerPath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(ownModule(), path, MAX_PATH);
    std::string self(path, length);
    const size_t slash = self.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
           kRenamedMakerName;
}

bool openMakerLibrary(const std::string& path, MakerLibrary* library, std::string* errorText)
{
    library->path = path;
    HMODULE const module = LoadLibraryA(library->path.c_str());
    if (!module)
    {
        *errorText = "cannot load the camera maker's library " + library->path + ": error " +
                     std::to_string(GetLastError());
        return false;
    }
    if (module == ownModule())
    {
        FreeLibrary(module);
        *errorText = library->path + " is the recorder itself, not the camera maker's library";
        return false;
    }
    library->handle = reinterpret_cast<void*>(module);
    return true;
}

void* makerEntryPoint(const MakerLibrary& library, const char* /*name*/, int ordinal)
{
    // The maker's library exports by ordinal only.
    return reinterpret_cast<void*>(
        GetProcAddress(static_cast<HMODULE>(library.handle), MAKEINTRESOURCEA(ordinal)));
}

void closeMakerLibrary(MakerLibrary* library)
{
    if (library->handle)
        FreeLibrary(static_cast<HMODULE>(library->handle));
    library->handle = nullptr;
}

int64_t currentProcessId()
{
    return static_cast<int64_t>(GetCurrentProcessId());
}

std::string temporaryFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    std::string folder(path, length);
    if (folder.empty())
        folder = ".\\";
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

void lowerThreadPriority()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

bool keepRecorderLoaded()
{
    HMODULE module = nullptr;
    return GetModuleHandleExA(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
               reinterpret_cast<LPCSTR>(&keepRecorderLoaded), &module) != 0;
}

}  // namespace korvane::sdk_recorder
