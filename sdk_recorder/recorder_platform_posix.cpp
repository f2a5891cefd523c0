#include "recorder_platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvane::sdk_recorder
{

namespace
{

constexpr const char* kCameraSdkName = "libOstrelSDK.so";
const std::string kRenamedMakerName = std::string("lib") + kRenamedMakerBaseName + ".so";

// The recorder's own file as the loader knows it (the path it was loaded by).
std::string ownPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || !info.dli_fname)
        return {};
    return info.dli_fname;
}

// Whether the recorder came in through LD_PRELOAD rather than as the plugin's dependency.
bool preloaded(const std::string& self)
{
    const char* const preload = std::getenv("LD_PRELOAD");
    return preload && !self.empty() && std::strstr(preload, self.c_str()) != nullptr;
}

}  // namespace

std::string defaultMakerPath()
{
    const std::string self = ownPath();
    if (preloaded(self))
        return kCameraSdkName;
    const size_t slash = self.rfind('/');
    return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
           kRenamedMakerName;
}

bool openMakerLibrary(const std::string& path, MakerLibrary* library, std::string* errorText)
{
    library->path = path;
    dlerror();
    library->handle = dlopen(library->path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library->handle)
    {
        const char* const reason = dlerror();
        *errorText = "cannot load the camera maker's library " + library->path + ": " +
                     (reason ? reason : "unknown error");
        return false;
    }
    void* const self = dlopen(ownPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (self)
        dlclose(self);
    if (self == library->handle)
    {
        dlclose(library->handle);
        library->handle = nullptr;
        *errorText = library->path + " is the recorder itself, not the camera maker's library";
        return false;
    }
    return true;
}

void* makerEntryPoint(const MakerLibrary& library, const char* name, int /*ordinal*/)
{
    return dlsym(library.handle, name);
}

void closeMakerLibrary(MakerLibrary* library)
{
    if (library->handle)
        dlclose(library->handle);
    library->handle = nullptr;
}

FileCreation createPrivateFile(const std::string& path, std::FILE** file, std::string* errorText)
{
    // O_EXCL: neither an existing file nor a link planted in its place is followed.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST)
    {
        struct stat status = {};
        if (stat(path.c_str(), &status) != 0 ||
            !(S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)))
        {
            return FileCreation::kExists;
        }
        fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    }
    if (fd >= 0 && (*file = fdopen(fd, "wb")) != nullptr)
        return FileCreation::kCreated;
    *errorText = std::strerror(errno);
    if (fd >= 0)
        close(fd);
    return FileCreation::kFailed;
}

int64_t currentProcessId()
{
    return static_cast<int64_t>(getpid());
}

std::string temporaryFolder()
{
    const char* const folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

void lowerThreadPriority()
{
    // On Linux a nice value set for a thread id holds for that thread alone.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
}

bool keepRecorderLoaded()
{
    // The maker's library stays loaded with its threads when the plugin is unloaded; a late
    // delivery must not find the recorder's relay gone. The hold is never given back. At
    // process exit the writer can still be joined, so the end record is written.
    const std::string self = ownPath();
    if (!self.empty())
        dlopen(self.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return false;
}

}  // namespace korvane::sdk_recorder
