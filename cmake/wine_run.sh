#!/bin/sh
# Usage: wine_run.sh BUILD_DIR PROGRAM [ARGUMENTS...]
# Runs a Windows program under Wine in the private prefix BUILD_DIR/wineprefix, which is
# created on first use (under a lock, as ctest starts several programs at once). Wine's own
# messages are silenced; the program's exit code is passed on.
set -eu
mkdir -p "$1"
build_dir=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.korvane_ready" ]; then
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.korvane_ready" ]; then
            wineboot --init >/dev/null 2>&1 || true
            wineserver --wait >/dev/null 2>&1 || true
            touch "$WINEPREFIX/.korvane_ready"
        fi
    ) 9>"$build_dir/wineprefix.lock"
fi
exec wine "$@"
