#!/bin/bash
# Kills tarvolo.exe during recordings into a full log (65,535 records), ROUNDS times (default
# 110), with the end-to-end test's kill moments in turn, and prints what the kills left: records
# old or old and new, month totals behind "clog.dat" before the next start, temporary files
# left. The run fails when a kill lost or changed a record, left "mlog.dat" unloadable, or left
# anything that the next start did not mend.
#   bash tools/kill-during-recording.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
rounds=${1:-110}

"$root/tools/build.sh" >/dev/null

prefix=$BUILD_DIR/wineprefix-e2e_tarvolo_kill_tests
xvfb_pid=
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    display=99
    while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do
        display=$((display + 1))
    done
    Xvfb :$display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$display
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
fi

cd "$BUILD_DIR/tests/e2e"
start=$(date +%s)
status=0
TARVOLO_KILL_ROUNDS=$rounds TARVOLO_WINEPREFIX=$prefix \
    "$BUILD_DIR/wine-exec.sh" "$BUILD_DIR/tests/e2e/e2e_tarvolo_kill_tests.exe" \
    --gtest_filter='TarvoloKill.*' || status=$?
echo "rounds $rounds in $(($(date +%s) - start)) s, exit code $status"
exit $status
