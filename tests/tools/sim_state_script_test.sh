#!/bin/bash
# sim_state_script_test.sh SCRIPT: checks the script that changes the dial-up simulator's state.
set -u
script=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file=$dir/sim.txt
failures=0

expect_content() {
    local expected=$1 actual
    actual=$(cat "$file")
    if [ "$actual" != "$expected" ]; then
        echo "FAIL $2: expected [$expected], got [$actual]"
        failures=$((failures + 1))
    fi
}

"$script" --reset "$file" connections=1 received=5
expect_content $'connections=1\nreceived=5' "a new file holds the given keys"

"$script" "$file" connections=2 pdh_sent=
expect_content $'received=5\nconnections=2\npdh_sent=' "keys are replaced, others kept, empty values written"

printf '# Notiz\r\nsent = 7\r\n' >>"$file"
inode_before=$(stat -c %i "$file")
"$script" "$file" sent=8
expect_content $'received=5\nconnections=2\npdh_sent=\n# Notiz\nsent=8' "foreign lines stay, spaced and CR LF keys are found"
inode_after=$(stat -c %i "$file")
if [ "$inode_before" = "$inode_after" ]; then
    echo "FAIL the file was rewritten in place instead of renamed over"
    failures=$((failures + 1))
fi

"$script" --reset "$file" devices=0
expect_content "devices=0" "--reset drops every other line"

if "$script" "$file" =5 2>/dev/null || "$script" "$file" connections 2>/dev/null; then
    echo "FAIL a pair without a key or without '=' was accepted"
    failures=$((failures + 1))
fi
expect_content "devices=0" "a refused call leaves the file alone"

leftovers=$(find "$dir" -mindepth 1 ! -name sim.txt | wc -l)
if [ "$leftovers" != 0 ]; then
    echo "FAIL temporary files left behind: $(ls -A "$dir")"
    failures=$((failures + 1))
fi

echo "sim-state.sh: $failures failure(s)"
[ $failures = 0 ]
