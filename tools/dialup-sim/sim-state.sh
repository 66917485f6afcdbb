#!/bin/bash
# sim-state.sh [--reset] FILE key=value...
# Changes the dial-up simulator's state file: each given key takes the given value, the other
# lines stay (--reset drops them). The new file is written beside the old one and renamed over
# it, so that the simulator, which rereads the file all the time, sees either the old or the new.
set -euo pipefail

usage() {
    echo "usage: $0 [--reset] FILE key=value..." >&2
    exit 2
}

trim() {
    local text=$1
    text=${text#"${text%%[![:space:]]*}"}
    printf '%s' "${text%"${text##*[![:space:]]}"}"
}

reset=0
if [ "${1:-}" = --reset ]; then
    reset=1
    shift
fi
[ $# -ge 1 ] || usage
file=$1
shift
keys=()
for pair in "$@"; do
    [[ $pair == *=* ]] || usage
    key=$(trim "${pair%%=*}")
    [ -n "$key" ] || usage
    keys+=("$key")
done

is_set_here() {
    local key
    for key in "${keys[@]}"; do [ "$key" = "$1" ] && return 0; done
    return 1
}

temporary=$(mktemp "$(dirname "$file")/.sim-state.XXXXXX")
trap 'rm -f "$temporary"' EXIT
{
    if [ $reset = 0 ] && [ -f "$file" ]; then
        while IFS= read -r line || [ -n "$line" ]; do
            line=${line%$'\r'}
            if [[ $line == *=* ]] && is_set_here "$(trim "${line%%=*}")"; then
                continue
            fi
            printf '%s\n' "$line"
        done <"$file"
    fi
    for pair in "$@"; do printf '%s\n' "$pair"; done
} >"$temporary"
chmod 644 "$temporary"
mv -f "$temporary" "$file"
trap - EXIT
