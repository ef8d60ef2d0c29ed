#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it on the built-in simulated
# device (a real KX52xx on a USB cable is listed as well). Without a display it runs offscreen,
# saves one picture per page and prints where they are.
# Extra arguments go to sealwise (for example: KX5220 to simulate that model).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=${SEALWISE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target sealwise
app="$build/app/sealwise"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" --demo "$@"
fi
shots="$root/screenshots"
echo "No display: running offscreen and saving the pages as pictures."
exec "$app" --demo "$@" --screenshots "$shots" -platform offscreen
