#!/usr/bin/env bash
# Installs what is missing, builds the demo and starts it. Needs a graphical
# display (X11 or Wayland); without one it says so and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: no graphical display here (DISPLAY and WAYLAND_DISPLAY are unset); run it on a desktop, or record the show offscreen with build/driver/capture/brumlakor-capture" >&2
  exit 1
fi

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target brumlakor -j"$(nproc)"
exec build/driver/brumlakor
