#!/bin/bash
# Installs what is missing, builds Tarvolo and shows it working under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
"$root/tools/setup.sh"
"$root/tools/build.sh"
echo "Built $BUILD_DIR/src/tarvolo.exe. The tray program itself is not assembled yet; run tools/test.sh for the tests."
