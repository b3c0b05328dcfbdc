#!/usr/bin/env bash
# Installs what is missing, builds the demo and starts it. Needs a graphical
# display (X11 or Wayland); without one it says so and records the first
# minute to a video file (PNG frames and a WAV file where ffmpeg is missing).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No desktop to show it on: record the first minute offscreen instead.
  echo "run-demo: no graphical display here (DISPLAY and WAYLAND_DISPLAY are unset); recording the first minute offscreen instead" >&2
  ./scripts/install-deps.sh
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target brumlakor-capture -j"$(nproc)"
  if command -v ffmpeg >/dev/null; then
    output=build/brumlakor-first-minute.mp4
  else
    output=build/brumlakor-first-minute # PNG frames and audio.wav
  fi
  build/capture/brumlakor-capture --seconds 60 "$output"
  echo "run-demo: the first minute is in $output" >&2
  exit 0
fi

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target brumlakor -j"$(nproc)"
exec build/driver/brumlakor
