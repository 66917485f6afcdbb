#!/bin/bash
# Installs what building and testing Tarvolo needs on a Debian machine (run as root).
# Does nothing that is already in place, so it is cheap to call before every build.
set -euo pipefail

# The x86_64 compilers and wine64 build and run the tests where the kernel runs no 32-bit program;
# iproute2 and gcc (the tun driver) serve the tests that play network devices.
packages=(cmake make g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb locales googletest zip x11-utils imagemagick xdotool python3 nsis
          iproute2 gcc libc6-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes the Windows user locale from LANG only when that Linux locale exists.
need_locales=0
for l in de_DE.utf8 en_US.utf8; do
    locale -a 2>/dev/null | grep -qx "$l" || need_locales=1
done
if [ $need_locales = 1 ]; then
    echo "setup: generating de_DE.UTF-8 and en_US.UTF-8"
    for l in "de_DE.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
        grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" >> /etc/locale.gen
    done
    locale-gen >/dev/null
fi
