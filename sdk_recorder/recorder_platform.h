// The recorder's dealings with the operating system: finding and opening the camera
// maker's library and its entry points, creating the capture file for its owner alone, the
// process id and the temporary folder. The one
// place that tells Linux (dlopen, dlsym) from Windows (LoadLibrary, entry points by
// ordinal), in recorder_platform_posix.cpp and recorder_platform_windows.cpp.
//
// Thread-safe: the functions keep no state of their own.

#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace korvane::sdk_recorder
{

// The base name of the maker's library renamed beside the recorder: libOstrelSDK.maker.so
// on Linux, OstrelSDK.maker.dll on Windows.
constexpr const char* kRenamedMakerBaseName = "OstrelSDK.maker";

// The camera maker's library, opened; never unloaded once its entry points are in use.
struct MakerLibrary
{
    void* handle = nullptr;
    std::string path;  //< What was opened, for the capture and for messages.
};

// Where the maker's library is when KORVANE_SDK_TARGET does not say: when the recorder was
// preloaded on Linux, the Camera SDK library by its ordinary name, where the loader finds
// it; otherwise the maker's library renamed beside the recorder (libOstrelSDK.maker.so,
// OstrelSDK.maker.dll).
std::string defaultMakerPath();

// Opens the maker's library at `path` into *library. False, with `*errorText`, when it
// does not open or what opened is the recorder itself.
bool openMakerLibrary(const std::string& path, MakerLibrary* library, std::string* errorText);

// The entry point `name`, exported with `ordinal` on Windows; null when the library lacks it.
void* makerEntryPoint(const MakerLibrary& library, const char* name, int ordinal);

// Gives back a library that will not be used.
void closeMakerLibrary(MakerLibrary* library);

// How createPrivateFile() went.
enum class FileCreation
{
    kCreated,
    kExists,  //< A file of that name is there and is left as it is.
    kFailed,
};

// Creates the file at `path` for writing, readable and writable by the current user alone:
// mode 0600 on Linux; on Windows an access list of its own, not inherited from the folder,
// that lets the user alone in. An existing file is never opened (kExists), unless it is a
// device or a pipe, which keeps nothing (/dev/null, NUL): that is written to as it is. On
// kFailed, `*errorText` says why.
FileCreation createPrivateFile(const std::string& path, std::FILE** file, std::string* errorText);

// The id of the calling process.
int64_t currentProcessId();

// The folder for temporary files, ending with its separator.
std::string temporaryFolder();

// Lowers the calling thread's scheduling priority, so that the capture writer runs on time
// the callers leave over rather than taking it from them.
void lowerThreadPriority();

// Keeps the recorder loaded until the process ends, so that neither a late delivery of the
// maker's library nor the writer thread outlives its code when the plugin is unloaded. True
// where the writer thread has gone by the time the process's static objects are destroyed
// (Windows, where the loader ends it first): then no end record is written at exit.
bool keepRecorderLoaded();

}  // namespace korvane::sdk_recorder
