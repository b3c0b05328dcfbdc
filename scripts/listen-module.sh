#!/usr/bin/env bash
# Renders the soundtrack as the demo plays it (libxmp, 44100 Hz stereo 16-bit,
# spline interpolation) to a WAV file and draws its spectrogram, so a person
# can listen to it and look at it. Prints the level of every order played.
#
#   scripts/listen-module.sh [OUTPUT_DIR] [SECONDS]
#
# Without SECONDS it renders the intro and one pass of the loop.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/listen}
seconds=${2:-0}
build=${BUILD_DIR:-build}

cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target make_module render_module -j2 >/dev/null
mkdir -p "$out"
"$build"/tools/module/make_module "$out/music.xm"
"$build"/tools/module/render_module --seconds "$seconds" "$out/music.xm" "$out/music.wav"
sox "$out/music.wav" -n spectrogram -x 1600 -y 513 -z 90 -t "Brumlakor soundtrack" \
    -o "$out/music-spectrogram.png"
sox "$out/music.wav" -n stats 2>&1 | grep -E "Pk lev dB|RMS lev dB|Length s"
echo "wrote $out/music.xm ($(stat -c %s "$out/music.xm") bytes), $out/music.wav," \
     "$out/music-spectrogram.png"
