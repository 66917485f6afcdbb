#!/bin/bash
# Configures and builds Tarvolo and its tests with the MinGW-w64 cross compiler.
# BUILD_DIR (default: build) names the build folder; TARVOLO_ARCH (default: i686, the program
# that ships) may name x86_64, the build the tests run as where no 32-bit program runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
werror=OFF
[ "${CI:-}" = true ] && werror=ON
werror=${TARVOLO_WERROR:-$werror}
arch=${TARVOLO_ARCH:-i686}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DTARVOLO_WERROR=$werror >/dev/null
cmake --build "$build" -j"$(nproc)"
