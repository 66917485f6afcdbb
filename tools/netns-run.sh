#!/bin/bash
# Runs a test program under Wine inside a network namespace of its own, with the tun driver
# (tools/tun-driver) beside it, so that the test may plug in, pull out and feed network devices
# without touching the machine's own network.
#
#   netns-run.sh TUN_DRIVER EMULATOR PROGRAM [ARGUMENTS...]
#
# EMULATOR is the build's wine-exec.sh with the test's own prefix (TARVOLO_WINEPREFIX). The
# program finds the driver's request folder in TARVOLO_TUN_CONTROL (a Linux path).
# A namespace that cannot be made fails the test and says why: a test that never ran must not
# pass.
set -u
fail() {
    echo "netns-run: $*" >&2
    exit 1
}

if [ "${TARVOLO_NETNS_INSIDE:-}" != 1 ]; then
    [ $# -ge 3 ] || fail "usage: netns-run.sh TUN_DRIVER EMULATOR PROGRAM [ARGUMENTS...]"
    [ "$(id -u)" = 0 ] || fail "a network namespace of the test's own needs root (unshare -n); run the test as root, as CI does"
    command -v unshare >/dev/null || fail "unshare (util-linux) is missing"
    command -v ip >/dev/null || fail "ip (iproute2) is missing: run tools/setup.sh"
    [ -x "$1" ] || fail "the tun driver $1 was not built (no gcc when CMake ran? run tools/setup.sh and build again)"
    [ -c /dev/net/tun ] || fail "/dev/net/tun is missing: the kernel offers no tun devices here"
    unshare --net --mount true 2>/dev/null ||
        fail "unshare --net --mount failed: this machine lets no process make a namespace (a container without CAP_SYS_ADMIN?)"
    # The prefix's wineserver of an earlier run still lives in that run's namespace, and every
    # process of this run would talk to it (Wine's sockets and its network driver live there).
    # It goes first, so that this run's server, services and keeper start inside the new one.
    "$2" --end-prefix
    TARVOLO_NETNS_INSIDE=1 exec unshare --net --mount --propagation private -- bash "$0" "$@"
fi

driver=$1
emulator=$2
shift 2

# /sys shows the devices of the namespace that mounted it: without a mount of its own the test
# would read the host's counters.
mount -t sysfs sysfs /sys || fail "could not mount /sys inside the namespace"
ip link set lo up || fail "could not set the loopback device up"
# Without IPv6 the kernel sends nothing of its own (router solicitations, neighbour discovery)
# through a device that comes up, so its sent bytes are only what a test sends.
sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 ||
    fail "could not switch IPv6 off inside the namespace"

control=$(mktemp -d /tmp/tarvolo-tun.XXXXXX) || fail "no folder for the tun driver's requests"
"$driver" "$control" </dev/null &
driver_pid=$!
for _ in $(seq 500); do
    [ -f "$control/ready" ] || ! kill -0 $driver_pid 2>/dev/null && break
    sleep 0.01
done
[ -f "$control/ready" ] || fail "the tun driver did not start"

TARVOLO_TUN_CONTROL=$control "$emulator" "$@"
status=$?

# The prefix's processes would keep the namespace, and the devices in it, after the test.
"$emulator" --end-prefix
kill $driver_pid 2>/dev/null
wait $driver_pid 2>/dev/null
rm -rf "$control"
exit $status
