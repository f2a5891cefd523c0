#!/bin/sh
# Usage: wine_run.sh BUILD_DIR PROGRAM [ARGUMENTS...]
# Runs a Windows program under Wine in the private prefix BUILD_DIR/wineprefix, which is
# created on first use (under a lock, as ctest starts several programs at once), with one
# persistent Wine server for all of them. Wine's own messages are silenced; the program's
# exit code is passed on.
set -eu
mkdir -p "$1"
build_dir=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# One Wine server serves every program of a run: started here, under the lock, and kept
# for 30 s after its last program. Programs that each started a server of their own (two
# tests starting at once, or one starting as the last one's server shut down) could find
# it gone under them ("wine client error ... Connection reset by peer").
(
    flock 9
    if [ ! -f "$WINEPREFIX/.korvane_ready" ]; then
        wineboot --init >/dev/null 2>&1 || true
        wineserver --wait >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.korvane_ready"
    fi
    # Neither the server nor the helper processes that Wine starts with it (started here by
    # wineboot) may inherit the lock or a program's output, or they would hold them for as
    # long as they run. Starting fails harmlessly when a server is running.
    if wineserver -p30 9>&- </dev/null >/dev/null 2>&1; then
        wineboot 9>&- </dev/null >/dev/null 2>&1 || true
    fi
) 9>"$build_dir/wineprefix.lock"
exec wine "$@"
