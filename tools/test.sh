#!/usr/bin/env bash
# Installs what is missing, configures, builds with two jobs and runs the whole test suite.
# Extra arguments go to CMake (for example -DSEALWISE_SANITIZE=address,undefined).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=${SEALWISE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
