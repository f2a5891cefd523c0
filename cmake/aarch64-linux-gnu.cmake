# Cross-building for 64-bit ARM Linux with Debian's aarch64-linux-gnu GCC and binutils. The
# programs run on the build machine under qemu-aarch64 (cmake/qemu_run.sh), which takes the
# loader and the C and C++ runtimes from the cross sysroot, /usr/aarch64-linux-gnu.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(KORVANE_ARM_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${KORVANE_ARM_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KORVANE_ARM_PREFIX}-g++)
# The export and import checks read the ARM library, and the archive strips it, with the ARM
# binutils.
set(CMAKE_NM ${KORVANE_ARM_PREFIX}-nm)
set(CMAKE_READELF ${KORVANE_ARM_PREFIX}-readelf)
set(CMAKE_STRIP ${KORVANE_ARM_PREFIX}-strip)

# Libraries come from the cross sysroot; header-only packages (nlohmann-json) from the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_ARM_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# ctest, the golden and watch checks and `make demo-arm64` start every program through this.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/qemu_run.sh)
