#!/bin/sh
# Usage: qemu_run.sh PROGRAM [ARGUMENTS...]
# Runs a 64-bit ARM Linux program under qemu-aarch64. The loader and the C and C++ runtimes
# come from Debian's cross sysroot; the build's own libraries (the Camera SDK, the plugin)
# are found through the programs' RUNPATH, and LD_LIBRARY_PATH reaches the ARM loader as it
# would natively. The program's exit code is passed on.
#
# qemu-user runs the one program it starts: an ARM program that executes itself again (as
# GoogleTest's threadsafe death tests do, by their argv[0]) would hand the kernel an ARM
# file, which it cannot run without a binfmt_misc registration. So the program's argv[0]
# is this script, which the kernel runs, and the program it stands for is passed on in
# KORVANE_QEMU_PROGRAM.
set -eu
if [ -z "${KORVANE_QEMU_PROGRAM:-}" ]; then
    KORVANE_QEMU_PROGRAM=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    export KORVANE_QEMU_PROGRAM
    shift
fi
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
exec qemu-aarch64 -L /usr/aarch64-linux-gnu -0 "$self" "$KORVANE_QEMU_PROGRAM" "$@"
