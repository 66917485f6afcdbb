#!/bin/bash
# check_imports.sh OBJDUMP EXE: fails when EXE imports a DLL outside the allowed system set.
set -u
objdump=$1
exe=$2
allowed='^(kernel32|user32|gdi32|comctl32|shell32|ole32|oleaut32|advapi32|msvcrt|comdlg32|shlwapi|version)\.dll$'
status=0
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no import table found in $exe"; exit 1; }
for dll in $dlls; do
    if ! [[ $dll =~ $allowed ]]; then
        echo "unexpected import: $dll"
        status=1
    fi
done
echo "$exe imports: $(echo $dlls | tr '\n' ' ')"
exit $status
