#!/bin/bash
# Installs what is missing, builds Tarvolo and runs every test under Wine and Xvfb.
# Ends with CTest's summary; the exit code is CTest's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh"

# The program ships as a 32-bit build, which Wine runs as a 32-bit Linux process. A kernel that
# runs none (booted without its IA-32 emulation) would let every test fail at once without a word.
# There the shipped build gets the checks that need no Wine, and every test runs on the same
# sources built for 64-bit Windows, under Wine's 64-bit loader, in a build folder of its own.
shipped_status=0
only_64_bit=()
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "test: this machine runs no 32-bit programs (the kernel's IA-32 emulation is off);" \
         "the tests run as the 64-bit build in $BUILD_DIR-x64" >&2
    (cd "$BUILD_DIR" && ctest --output-on-failure -R '^(build\.|release\.zip)') || shipped_status=$?
    only_64_bit=(-E '^(build\.|release\.zip)')
    export BUILD_DIR=$BUILD_DIR-x64
    TARVOLO_ARCH=x86_64 "$root/tools/build.sh"
fi

xvfb_pid=
cleanup() {
    # The wineservers started for the tests stay until told to go (see wine-exec.sh).
    for p in "$BUILD_DIR"/wineprefix*/; do
        [ -d "$p" ] && WINEPREFIX=${p%/} wineserver -k 2>/dev/null || true
    done
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A display of our own: without one Wine creates no window at all.
display=99
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.1; done

# The two shared prefixes, German and US English, made and started before the clock of the
# first test runs.
for locale in de_DE.UTF-8 en_US.UTF-8; do
    LANG=$locale LC_ALL=$locale "$BUILD_DIR/wine-exec.sh" cmd /c exit 0 >/dev/null 2>&1 || true
done

cd "$BUILD_DIR"
# So are the prefixes of the test programs with a prefix of their own (OWN_PREFIX, NETNS), with
# the environment each test gives them (locale, DPI), two at a time: making a prefix is a
# wineboot of some seconds of work, which is the build's, not the tests'. A prefix of a network
# namespace's test is made outside it; its test ends that server and starts its own inside.
# Where one cannot be made here, its test makes it as before.
own_prefix_envs() {
    ctest -N -V "${only_64_bit[@]}" 2>/dev/null | awk '
        /^[0-9]+: Test command:/ { flush(); wine = ($0 ~ /wine-exec\.sh/); env = ""; own = 0; next }
        /^[0-9]+:  [A-Z_]+=/ { sub(/^[0-9]+:  /, ""); env = env " " $0; if ($0 ~ /^TARVOLO_WINEPREFIX=/) own = 1; next }
        function flush() { if (wine && own) print env }
        END { flush() }'
}
# Xvfb is a child of this script too: only the makers are waited for.
makers=()
while read -r -a vars; do
    if [ ${#makers[@]} -ge "$(nproc)" ]; then
        wait "${makers[0]}" || true
        makers=("${makers[@]:1}")
    fi
    env "${vars[@]}" "$BUILD_DIR/wine-exec.sh" cmd /c exit 0 >/dev/null 2>&1 &
    makers+=($!)
done < <(own_prefix_envs)
for maker in "${makers[@]}"; do wait "$maker" || true; done
# Every test program runs its cases in one Wine process; a case that fails fails the run.
status=0
ctest --output-on-failure -j"$(nproc)" "${only_64_bit[@]}" "$@" || status=$?
[ $status = 0 ] && status=$shipped_status
exit $status
