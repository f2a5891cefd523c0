#include "recorder_platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

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

// The security of a file that lets the current user alone in, with an access list of its own
// rather than the one inherited from its folder: what mode 0600 is on Linux.
class PrivateAccess
{
public:
    PrivateAccess() : m_made(make()) {}

    PrivateAccess(const PrivateAccess&) = delete;
    PrivateAccess& operator=(const PrivateAccess&) = delete;

    // Null when the access list could not be made.
    SECURITY_ATTRIBUTES* attributes() { return m_made ? &m_attributes : nullptr; }

private:
    bool make()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return false;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        m_user.resize(size);
        const bool haveUser =
            size > 0 && GetTokenInformation(token, TokenUser, m_user.data(), size, &size);
        CloseHandle(token);
        if (!haveUser)
            return false;
        PSID const user = reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid;
        const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user);
        m_acl.resize(aclSize);
        PACL const acl = reinterpret_cast<PACL>(m_acl.data());
        m_attributes = {sizeof(m_attributes), &m_descriptor, FALSE};
        return InitializeAcl(acl, aclSize, ACL_REVISION) &&
               AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) &&
               InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE) &&
               SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    }

    std::vector<unsigned char> m_user;
    std::vector<unsigned char> m_acl;
    SECURITY_DESCRIPTOR m_descriptor = {};
    SECURITY_ATTRIBUTES m_attributes = {};
    const bool m_made;
};

// An existing file at `path` that keeps nothing written to it (a device such as NUL),
// opened for writing; INVALID_HANDLE_VALUE for any other file.
HANDLE openExistingDevice(const std::string& path)
{
    HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return handle;
    const bool device = GetFileType(handle) != FILE_TYPE_DISK;
    CloseHandle(handle);
    return device ? CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr)
                  : INVALID_HANDLE_VALUE;
}

}  // namespace

FileCreation createPrivateFile(const std::string& path, std::FILE** file, std::string* errorText)
{
    PrivateAccess access;
    if (!access.attributes())
    {
        *errorText = "no access list for the user alone: error " + std::to_string(GetLastError());
        return FileCreation::kFailed;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, access.attributes(),
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
    {
        handle = openExistingDevice(path);
        if (handle == INVALID_HANDLE_VALUE)
            return FileCreation::kExists;
        error = 0;
    }
    const int fd = handle == INVALID_HANDLE_VALUE
                       ? -1
                       : _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd >= 0 && (*file = _fdopen(fd, "wb")) != nullptr)
        return FileCreation::kCreated;
    if (fd >= 0)
        _close(fd);
    else if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    *errorText = "error " + std::to_string(error != 0 ? error : GetLastError());
    return FileCreation::kFailed;
}

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
