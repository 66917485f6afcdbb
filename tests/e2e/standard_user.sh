#!/bin/bash
# A standard user starts tarvolo.exe from a program folder they may not write, as a program
# under "Program Files" is for them: the data files and report pages must go to "Tarvolo" in
# their local application data folder, none to the program folder, and tarvolo-export must find
# them there without --dir. Root ignores file permissions, so this runs as a user of its own.
#
# standard_user.sh TARVOLO_EXE EXPORT_EXE RASAPI32_DLL PDH_DLL
#
# The user works in a folder of their own below /tmp, made for this run and removed afterwards:
# the checkout and its build folder may lie below a folder they cannot enter (a clone below
# /root, or in a folder made by mktemp -d).
set -euo pipefail
exe=$1 export_exe=$2 rasapi=$3 pdh=$4
user=tarvolo-standard
files=(clog.dat mlog.dat frame.htm clog.htm mlog.htm)

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: only root can run the program as another user"
    exit 77
fi
# A step that fails ends the test; say which, so that a run that could not start is not silent.
trap 'echo "standard_user.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
id "$user" >/dev/null 2>&1 || useradd --create-home "$user"

work=$(mktemp -d /tmp/tarvolo-standard-user.XXXXXX)
mkdir -p "$work/program" "$work/home"
cp "$exe" "$export_exe" "$rasapi" "$pdh" "$work/program/"
chmod 755 "$work"
chmod 555 "$work/program"
chown "$user" "$work/home"
prefix=$work/home/prefix
data=$prefix/drive_c/users/$user/AppData/Local/Tarvolo

# The build's own Wine loader (TARVOLO_WINEARCH win64 for the 64-bit test build).
arch=${TARVOLO_WINEARCH:-win32}
wine=wine
[ "$arch" = win64 ] && wine=/usr/lib/wine/wine64
as_user() {
    runuser -u "$user" -- env HOME="$work/home" WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all \
        DISPLAY="${DISPLAY:-}" LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Europe/Berlin \
        WINEDLLOVERRIDES="rasapi32,pdh=n,b;mscoree,mshtml=" "$@"
}
finish() {
    as_user wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap finish EXIT

# The prefix's own processes take the output of the first process: none of it may be a pipe.
as_user "$wine" wineboot -i >/dev/null 2>&1
as_user "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

as_user "$wine" "$work/program/tarvolo.exe" >/dev/null 2>&1 &
running=$!
all_there() {
    for f in "${files[@]}"; do [ -f "$data/$f" ] || return 1; done
}
for _ in $(seq 600); do all_there && break; sleep 0.1; done

status=0
for f in "${files[@]}"; do
    [ -f "$data/$f" ] || { echo "missing in the local application data folder: $f"; status=1; }
    [ ! -e "$work/program/$f" ] || { echo "written to the program folder: $f"; status=1; }
done
months=$(as_user "$wine" "$work/program/tarvolo-export.exe" months 2>/dev/null) || {
    echo "tarvolo-export found no data files"
    status=1
}
echo "$months" | head -1 | grep -q '^month,' || { echo "tarvolo-export printed no table: $months"; status=1; }

as_user "$wine" "$work/program/tarvolo.exe" /quit >/dev/null 2>&1 || true
for _ in $(seq 200); do kill -0 $running 2>/dev/null || break; sleep 0.1; done
if kill -0 $running 2>/dev/null; then
    echo "tarvolo.exe did not end on /quit"
    status=1
fi
[ $status -eq 0 ] && echo "data files and pages in $data, none in the program folder"
exit $status
