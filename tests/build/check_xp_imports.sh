#!/bin/bash
# check_xp_imports.sh OBJDUMP LIST EXE...: fails when an EXE imports a function that LIST does
# not name, or asks for a subsystem version other than 4.0.
# LIST holds the functions that Windows XP SP3 has, one "dll!function  # where its minimum
# version is documented" a line; an import by ordinal counts only as "dll!#ordinal", since a
# DLL of another Windows version may give the number to another function or to none at all.
# The Windows loader refuses a program with a single missing import before any of its code runs,
# and one that asks for a newer subsystem than the system's, so both are checked on the files.
set -u
objdump=$1
list=$2
shift 2

# The list without its comments; DLL names compare without case, function names with.
allowed=$(sed -E -e 's/[[:space:]]+#.*$//' -e 's/^[[:space:]]+//' -e 's/[[:space:]]+$//' "$list" |
          grep -v -e '^$' -e '^#' |
          awk -F'!' '{ print tolower($1) "!" $2 }' | sort -u)
[ -n "$allowed" ] || { echo "no functions in $list"; exit 1; }

status=0
for exe in "$@"; do
    dump=$("$objdump" -p "$exe") || { echo "$exe: objdump failed"; status=1; continue; }

    # Each import line under "DLL Name:" reads "<thunk> <hint> <name>", or "<thunk> <ordinal>
    # <none>" for an import by ordinal.
    imports=$(echo "$dump" | awk '
        /DLL Name:/ { dll = tolower($3); next }
        /^[[:space:]]*$/ { dll = ""; next }
        dll != "" && /^\t[0-9a-f]+\t/ {
            if ($3 == "<none>") print dll "!#" $2; else print dll "!" $3
        }' | sort -u)
    if [ -z "$imports" ]; then
        echo "$exe: no imported functions found"
        status=1
        continue
    fi
    missing=$(comm -23 <(echo "$imports") <(echo "$allowed"))
    if [ -n "$missing" ]; then
        echo "$exe imports what is not known to be on Windows XP SP3:"
        echo "$missing" | sed 's/^/  /'
        status=1
    fi

    major=$(echo "$dump" | awk '$1 == "MajorSubsystemVersion" { print $2 }')
    minor=$(echo "$dump" | awk '$1 == "MinorSubsystemVersion" { print $2 }')
    if [ "$major.$minor" != "4.0" ]; then
        echo "$exe: subsystem version $major.$minor, not 4.0"
        status=1
    fi
    echo "$exe: $(echo "$imports" | wc -l) imported functions, subsystem version $major.$minor"
done
exit $status
