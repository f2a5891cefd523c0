# Cross-building for 64-bit Windows with MinGW-w64's -posix compilers (std::thread and
# std::mutex need them). The C and C++ runtimes and winpthread are linked statically, so the
# plugin DLL needs nothing beside it but Windows' own DLLs and the Camera SDK.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${KORVANE_MINGW_PREFIX}-dlltool)
set(CMAKE_OBJDUMP ${KORVANE_MINGW_PREFIX}-objdump)

# Libraries come from the MinGW tree; header-only packages (nlohmann-json) from the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
