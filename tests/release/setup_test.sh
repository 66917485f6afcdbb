#!/bin/bash
# The Windows setup, silent, in a fresh Wine prefix of its own: a first install and an upgrade
# while a copy from another folder runs, an upgrade while the installed program is online (with
# the dial-up simulator), one while it does not end, the setup again over itself, and the
# uninstall beside the other copy, each checked in the files and the registry it leaves.
#
# setup_test.sh SETUP_EXE RELEASE_DIR RASAPI32_DLL PDH_DLL SIM_STATE_SCRIPT
# TARVOLO_WINEPREFIX names the prefix; wine-exec.sh of the build folder runs the programs.
set -euo pipefail
setup=$1 release=$2 rasapi=$3 pdh=$4 sim_state=$5
build=$(cd "$(dirname "$setup")" && pwd)
wine=$build/wine-exec.sh
version=$(basename "$setup" .exe)
version=${version#tarvolo-setup-}
: "${TARVOLO_WINEPREFIX:?}"
# The simulator instead of the system's dial-up libraries; no menu entries for the desktop
# outside the prefix.
export WINEDLLOVERRIDES="rasapi32,pdh=n,b;mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8

win_dir='C:\TarvoloSetupTest\Tarvolo'
dir=$TARVOLO_WINEPREFIX/drive_c/TarvoloSetupTest/Tarvolo
exe="$win_dir\\tarvolo.exe"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvolo'
run_value_name=Tarvolo
program_files=(tarvolo.exe tarvolo-export.exe README.txt)
data_files=(clog.dat mlog.dat frame.htm clog.htm mlog.htm)
state=$dir/dialup-sim.txt
megabyte=1048576
# A copy of the program in another folder, as a portable one is.
other_win='C:\TarvoloSetupTest\Portable'
other_dir=$TARVOLO_WINEPREFIX/drive_c/TarvoloSetupTest/Portable
other_exe="$other_win\\tarvolo.exe"
other_value="\"$other_exe\""

status=0
fail() {
    echo "FAIL: $*"
    status=1
}
trap 'echo "setup_test.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR

stop_prefix() {
    WINEPREFIX=$TARVOLO_WINEPREFIX wineserver -k 2>/dev/null || true
}
trap stop_prefix EXIT
stop_prefix
rm -rf "$TARVOLO_WINEPREFIX" "$TARVOLO_WINEPREFIX".*

# Output of the programs goes to a file: a program the setup starts would keep a pipe open.
log=$build/release-setup-test.log
: >"$log"
run() { "$wine" "$@" >>"$log" 2>&1; }
run cmd /c exit 0

# reg_value ROOT NAME prints the data of the value NAME under ROOT (KEY, or "KEY" of a Run key)
# and fails when it is not there.
reg_value() {
    local out
    out=$("$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep . || return 1
}
run_keys=('HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
          'HKLM\Software\Microsoft\Windows\CurrentVersion\Run')
run_values() {
    local key
    for key in "${run_keys[@]}"; do
        printf '%s=%s\n' "${key%%\\*}" "$(reg_value "$key" "$run_value_name" || echo '<none>')"
    done
}
shortcut() {
    find "$TARVOLO_WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Tarvolo.lnk' 2>/dev/null | head -1
}
wait_for() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# pids FOLDER prints the Linux process ids of the tarvolo.exe of C:\TarvoloSetupTest\FOLDER.
pids() { pgrep -f "TarvoloSetupTest.$1.tarvolo.exe\$" || true; }

# run_value_in I VALUE prints what run_values prints with VALUE under run_keys[I] alone.
run_value_in() {
    local i
    for i in 0 1; do
        printf '%s=%s\n' "${run_keys[$i]%%\\*}" "$([ "$i" = "$1" ] && echo "$2" || echo '<none>')"
    done
}
# The other copy runs, with the Run value "Tarvolo" that starts it in one of the two Run keys:
# each setup leaves it running, starts none of its own beside it, and leaves its Run value alone.
put_other_run_value() {
    "$wine" reg add "${run_keys[$1]}" /v "$run_value_name" /d "$other_value" /f >>"$log" 2>&1
    other_run_values=$(run_value_in "$1" "$other_value")
}
# The program holds its claim before it writes mlog.dat; a setup waits for the frame of a claim.
start_other_copy() {
    put_other_run_value "$1"
    rm -f "$other_dir/mlog.dat"
    "$wine" "$other_exe" >>"$log" 2>&1 &
    wait_for 300 test -f "$other_dir/mlog.dat" || fail "the other copy wrote no mlog.dat"
    other_pid=$(pids Portable)
}
check_other_copy() {
    [ -n "$other_pid" ] && [ "$(pids Portable)" = "$other_pid" ] || fail "$1: the other copy ended"
    [ -z "$(pids Tarvolo)" ] || fail "$1: the setup's folder's Tarvolo was started beside it"
    [ "$(run_values)" = "$other_run_values" ] ||
        fail "$1: Run values $(run_values), not the other copy's alone: $other_run_values"
}

# What a setup may change: the program folder, the uninstall entry, the Run values, the shortcut.
snapshot() {
    (cd "$dir" && find . -type f | sort | xargs -d '\n' md5sum)
    "$wine" reg query "$uninstall_key" 2>/dev/null | tr -d '\r'
    run_values
    [ -n "$(shortcut)" ] && tr -d '\000' <"$(shortcut)" | grep -aoF "$exe" | head -1
}
unchanged_since_before() {
    local after
    after=$(snapshot)
    [ "$before" = "$after" ] || fail "$1 changed: $(diff <(echo "$before") <(echo "$after") || true)"
}

# --- First install, with /AUTOSTART=1, while another copy runs -------------------------------
mkdir -p "$other_dir"
cp "$release/tarvolo.exe" "$other_dir/"
cp "$rasapi" "$other_dir/rasapi32.dll"
cp "$pdh" "$other_dir/pdh.dll"
start_other_copy 0
rc=0
run "$setup" /S /AUTOSTART=1 "/D=$win_dir" || rc=$?
[ $rc -eq 0 ] || fail "first install: exit code $rc"
for f in "${program_files[@]}"; do
    cmp -s "$release/$f" "$dir/$f" || fail "first install: $f is not the release's"
done
[ -f "$dir/uninstall.exe" ] || fail "first install: no uninstall.exe"
lnk=$(shortcut)
if [ -z "$lnk" ]; then
    fail "first install: no Start-menu shortcut"
else
    # The link holds its target's path in UTF-16 or in the ANSI code page.
    tr -d '\000' <"$lnk" | grep -qaF "$exe" || fail "first install: the shortcut does not name $exe"
fi
check_value() {
    local got
    got=$(reg_value "$uninstall_key" "$1") || got='<none>'
    [ "$got" = "$2" ] || fail "uninstall entry: $1 is $got, not $2"
}
check_value DisplayName Tarvolo
check_value DisplayVersion "$version"
check_value Publisher Brenkor
check_value DisplayIcon "$exe,0"
check_value UninstallString "\"$win_dir\\uninstall.exe\""
check_value QuietUninstallString "\"$win_dir\\uninstall.exe\" /S"
check_value NoModify 0x1
check_value NoRepair 0x1
# The KB of what was installed: at least the program files, at most them and the uninstaller.
size_kb=$(($(reg_value "$uninstall_key" EstimatedSize || echo 0)))
shipped=$(cat "${program_files[@]/#/$dir/}" | wc -c)
with_uninstaller=$((shipped + $(stat -c %s "$dir/uninstall.exe")))
[ $((size_kb * 1024)) -ge "$shipped" ] && [ $((size_kb * 1024)) -le $((with_uninstaller + 4096)) ] ||
    fail "uninstall entry: EstimatedSize $size_kb KB for $shipped bytes of program files"
check_other_copy "first install"

# --- Upgrade while the other copy runs ---------------------------------------------------------
"$wine" reg delete "${run_keys[0]}" /v "$run_value_name" /f >>"$log" 2>&1
put_other_run_value 1
rc=0
run "$setup" /S /AUTOSTART=1 "/D=$win_dir" || rc=$?
[ $rc -eq 0 ] || fail "upgrade beside the other copy: exit code $rc"
check_other_copy "upgrade beside the other copy"
run "$other_exe" /quit || true
no_other_copy() { [ -z "$(pids Portable)" ]; }
wait_for 100 no_other_copy || fail "the other copy did not end on /quit"
for key in "${run_keys[@]}"; do
    "$wine" reg delete "$key" /v "$run_value_name" /f >>"$log" 2>&1 || true
done

# --- Upgrade while online ---------------------------------------------------------------------
cp "$rasapi" "$dir/rasapi32.dll"
cp "$pdh" "$dir/pdh.dll"
"$sim_state" --reset "$state" connections=0 received=0 sent=0
"$wine" "$exe" >>"$log" 2>&1 &
old_program=$!
wait_for 300 test -f "$dir/mlog.dat" || fail "the installed program wrote no mlog.dat"
collected() { [[ "$(cat "$state.collects" 2>/dev/null)" == *:$1 ]]; }
"$sim_state" "$state" connections=1
wait_for 150 collected 0:0 || fail "the program took no sample after the dial-in"
"$sim_state" "$state" received=$((3 * megabyte)) sent=$((megabyte / 4))
wait_for 150 collected $((3 * megabyte)):$((megabyte / 4)) || fail "the program took no sample online"
old_sampler=$(cut -d: -f1 "$state.collects")

rc=0
run "$setup" /S /AUTOSTART=1 "/D=$win_dir" || rc=$?
[ $rc -eq 0 ] || fail "upgrade: exit code $rc"
gone() { ! kill -0 "$old_program" 2>/dev/null; }
wait_for 50 gone || fail "upgrade: the old program still runs"
# The new program samples the connection that is still up, under a process of its own. Its start
# may replace clog.dat, which a reader at that moment finds held: the log is read after it.
new_sampler() { [ "$(cut -d: -f1 "$state.collects" 2>/dev/null)" != "$old_sampler" ]; }
wait_for 150 new_sampler || fail "upgrade: the program was not started again"
rows=$("$wine" "$win_dir\\tarvolo-export.exe" connections --dir "$win_dir" 2>>"$log" | tr -d '\r' | tail -n +2)
[ "$(printf '%s\n' "$rows" | grep -c .)" -eq 1 ] || fail "upgrade: booked periods: ${rows:-none}"
[[ "$rows" == *,$((3 * megabyte)),$((megabyte / 4)) ]] || fail "upgrade: the period is not booked whole: $rows"
expected_run="\"$exe\""
[ "$(run_values)" = "HKCU=$expected_run"$'\nHKLM=<none>' ] ||
    fail "upgrade with /AUTOSTART=1: Run values $(run_values), not HKCU=$expected_run"

# --- An upgrade while the program does not end ---------------------------------------------------
# Stopped, the restarted program keeps its frame and cannot end: the setup waits its 15 s for it,
# changes nothing (a README.txt it would replace stays) and exits with 2. Let go, the program
# ends on the setup's request.
program_pid=$(pids Tarvolo)
kill -STOP $program_pid
echo stale >"$dir/README.txt"
before=$(snapshot)
rc=0
run "$setup" /S "/D=$win_dir" || rc=$?
[ $rc -eq 2 ] || fail "upgrade while the program does not end: exit code $rc, not 2"
unchanged_since_before "upgrade while the program does not end"
kill -CONT $program_pid
cp "$release/README.txt" "$dir/README.txt"

# The program saves the Run value itself at its exit (where Wine lets it: under HKLM); it must
# be the setup's, letter for letter.
"$sim_state" "$state" connections=0
run "$exe" /quit || true
ended() { [ "$(pgrep -fc 'TarvoloSetupTest.Tarvolo.tarvolo.exe$' || true)" -eq 0 ]; }
wait_for 100 ended || fail "the restarted program did not end on /quit"
values=$(run_values)
[ "$(printf '%s\n' "$values" | grep -cxF -e "HKCU=$expected_run" -e "HKLM=$expected_run")" -eq 1 ] ||
    fail "the program saved other Run values than the setup's $expected_run: $values"
rm -f "$dir/rasapi32.dll" "$dir/pdh.dll" "$state" "$state.collects"

# --- The same setup again ---------------------------------------------------------------------
before=$(snapshot)
rc=0
run "$setup" /S "/D=$win_dir" || rc=$?
[ $rc -eq 0 ] || fail "setup over itself: exit code $rc"
unchanged_since_before "setup over itself"

# --- Uninstall while the other copy runs, its Run value in the key this program's is not in ------
own=0
[ "$(reg_value "${run_keys[1]}" "$run_value_name" || true)" = "$expected_run" ] && own=1
start_other_copy $((1 - own))
for f in "${data_files[@]}"; do
    [ -f "$dir/$f" ] || fail "before the uninstall: no $f"
done
data_before=$(cd "$dir" && md5sum "${data_files[@]}" 2>/dev/null || true)
rc=0
run "$dir/uninstall.exe" /S "_?=$win_dir" || rc=$?
[ $rc -eq 0 ] || fail "uninstall: exit code $rc"
for f in "${program_files[@]}"; do
    [ ! -e "$dir/$f" ] || fail "uninstall left $f"
done
[ -z "$(shortcut)" ] || fail "uninstall left the Start-menu shortcut"
"$wine" reg query "$uninstall_key" >/dev/null 2>&1 && fail "uninstall left the uninstall entry"
check_other_copy uninstall
data_after=$(cd "$dir" && md5sum "${data_files[@]}" 2>/dev/null || true)
[ "$data_before" = "$data_after" ] || fail "uninstall changed the data files"
# With _? the uninstaller runs from the folder and cannot remove itself, as NSIS documents.
left=$(cd "$dir" && ls -A | grep -vxF -e uninstall.exe "${data_files[@]/#/-e}" || true)
[ -z "$left" ] || fail "uninstall left in the folder: $left"

[ $status -eq 0 ] && echo "install, upgrades, setup over itself and uninstall as expected"
exit $status
