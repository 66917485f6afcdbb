#!/bin/bash
# Installs what is missing, builds Tarvolo and shows it working under Wine: tarvolo.exe in a
# fresh folder with the dial-up simulator beside it, a short online period (dial in, a few
# megabytes, hang up), the report pages and a screenshot. The program stays running.
#
#   bash tools/demo.sh          run the demo (ends a demo that is still running first)
#   bash tools/demo.sh --stop   end the running demo: tarvolo.exe /quit, its wineserver, and the
#                               Xvfb the demo started
#
# TARVOLO_DEMO_DIR chooses the folder (default: build/demo). The program runs under German user
# settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
# Where the kernel runs no 32-bit program, the 64-bit build shows it (see the README's Testing).
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    export TARVOLO_ARCH=x86_64 BUILD_DIR=$BUILD_DIR-x64
fi
demo=${TARVOLO_DEMO_DIR:-$BUILD_DIR/demo}
# Outside build/wineprefix*, which the test command stops at its end.
export TARVOLO_WINEPREFIX=$BUILD_DIR/demo-wineprefix
export WINEDLLOVERRIDES="rasapi32,pdh=n,b;mscoree,mshtml="
state_script=$root/tools/dialup-sim/sim-state.sh
state=$demo/dialup-sim.txt
megabyte=1048576

say() { printf 'demo: %s\n' "$*"; }

wine_run() { "$BUILD_DIR/wine-exec.sh" "$@"; }

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

read_pid() { cat "$demo/$1.pid" 2>/dev/null || true; }

stop_demo() {
    [ -d "$demo" ] || return 0
    local program xvfb
    program=$(read_pid tarvolo)
    xvfb=$(read_pid xvfb)
    # The quit request needs the display of the demo's own Xvfb, and only until that ends.
    local borrowed=no
    if [ -f "$demo/display" ] && alive "$xvfb" && [ -z "${DISPLAY:-}" ]; then
        DISPLAY=$(cat "$demo/display")
        export DISPLAY
        borrowed=yes
    fi
    if alive "$program"; then
        say "ending tarvolo.exe (tarvolo.exe /quit)"
        wine_run "$demo/tarvolo.exe" /quit >/dev/null 2>&1 || true
        for _ in $(seq 50); do alive "$program" || break; sleep 0.2; done
    fi
    if [ -d "$TARVOLO_WINEPREFIX" ]; then
        WINEPREFIX=$TARVOLO_WINEPREFIX wineserver -k 2>/dev/null || true
    fi
    if alive "$xvfb"; then
        say "ending the demo's Xvfb (pid $xvfb)"
        kill "$xvfb" 2>/dev/null || true
    fi
    rm -f "$demo/tarvolo.pid" "$demo/xvfb.pid" "$demo/display"
    [ $borrowed = no ] || unset DISPLAY
}

if [ "${1:-}" = --stop ]; then
    stop_demo
    exit 0
fi

"$root/tools/setup.sh"
"$root/tools/build.sh"
stop_demo
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8

# A fresh folder: the program, the simulator's libraries and its state (nothing connected).
rm -rf "$demo"
mkdir -p "$demo"
cp "$BUILD_DIR/src/tarvolo.exe" "$demo/"
simulator=yes
for dll in rasapi32.dll pdh.dll; do
    if [ -f "$BUILD_DIR/tools/dialup-sim/$dll" ]; then
        cp "$BUILD_DIR/tools/dialup-sim/$dll" "$demo/"
    else
        simulator=no
    fi
done
[ -x "$state_script" ] || simulator=no
set_state() { "$state_script" "$state" "$@"; }
if [ $simulator = yes ]; then
    "$state_script" --reset "$state" connections=0 received=0 sent=0
fi

# A display of our own when there is none: without one Wine shows no window at all.
if [ -z "${DISPLAY:-}" ]; then
    display=90
    while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
    setsid Xvfb :$display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! >"$demo/xvfb.pid"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done
    export DISPLAY=:$display
    echo "$DISPLAY" >"$demo/display"
    say "started Xvfb on display $DISPLAY"
fi

say "starting tarvolo.exe in $demo"
cd "$demo"
setsid "$BUILD_DIR/wine-exec.sh" "$demo/tarvolo.exe" >"$demo/wine.log" 2>&1 &
program=$!
echo $program >"$demo/tarvolo.pid"

# The program writes its log files and report pages when it starts.
for _ in $(seq 150); do
    [ -f "$demo/mlog.dat" ] && [ -f "$demo/frame.htm" ] && break
    alive "$program" || break
    sleep 0.2
done
if ! alive "$program" && [ ! -f "$demo/mlog.dat" ]; then
    say "tarvolo.exe ended at once and wrote no log; see $demo/wine.log."
    stop_demo
    exit 1
fi
[ -f "$demo/mlog.dat" ] || say "tarvolo.exe runs but has written no log yet; see the screenshot."

# A short online period: dial in, a few megabytes in five-second measuring steps, hang up. The
# last readings must be sampled by a measuring step before the hang-up to count.
if [ $simulator = yes ]; then
    say "dialling in"
    set_state connections=1
    sleep 1
    for step in 1 2 3; do
        set_state received=$((step * 2 * megabyte + 300000)) sent=$((step * megabyte / 3))
        say "online: $((step * 2)) MByte received"
        sleep 5.5
    done
    say "hanging up"
    set_state connections=0
    for _ in $(seq 50); do
        [ "$(stat -c %s "$demo/clog.dat" 2>/dev/null || echo 0)" -gt 2 ] && break
        sleep 0.2
    done
else
    say "STEP MISSING: the dial-up simulator (tools/dialup-sim with sim-state.sh) is not in this"
    say "tree yet, so no online period is played and the log stays empty."
fi

# A second start opens the running program's settings, which makes a better picture.
wine_run "$demo/tarvolo.exe" >/dev/null 2>&1 || true
sleep 2
import -display "$DISPLAY" -window root "$demo/screenshot.png" 2>/dev/null || say "no screenshot (ImageMagick's import failed)"

cat <<EOF

Tarvolo is running under Wine (display $DISPLAY, Wine prefix $TARVOLO_WINEPREFIX).
  report pages  $demo/frame.htm  (with clog.htm and mlog.htm)
  data files    $demo/clog.dat  $demo/mlog.dat
  screenshot    $demo/screenshot.png
  simulator     $state  (change it with tools/dialup-sim/sim-state.sh $state connections=1 ...)
To end it:      bash tools/demo.sh --stop
  (which runs   WINEPREFIX=$TARVOLO_WINEPREFIX wine $demo/tarvolo.exe /quit
   and then ends the demo's wineserver and Xvfb)
EOF
