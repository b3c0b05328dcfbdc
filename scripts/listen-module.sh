#!/usr/bin/env bash
# Renders the soundtrack as the demo plays it (libxmp, 44100 Hz stereo 16-bit,
# spline interpolation) to a WAV file and draws its spectrogram, so a person
# can listen to it and look at it. Prints the level of every order played;
# for each section its peak and RMS, its share of power below 100 Hz and its
# width (L/R correlation, side level under mid); and each channel's share of
# the loop's power, from a rendering of that channel alone.
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
# Channel order as the song places its voices.
names=(kick kick2/toms snare hats perc bass sub/stabs pad1 pad2 pad3 arp lead echo fx)
loop_rms() { awk '$1 == "loop" { print $6 }'; }
all=$("$build"/tools/module/render_module --seconds "$seconds" "$out/music.xm" /dev/null | loop_rms)
echo "channel shares of the loop's power (RMS alone, dBFS):"
for ch in "${!names[@]}"; do
    rms=$("$build"/tools/module/render_module --seconds "$seconds" --solo "$ch" "$out/music.xm" \
        /dev/null | loop_rms)
    awk -v n="${names[$ch]}" -v r="$rms" -v a="$all" \
        'BEGIN { printf "  %-11s %7.2f  %5.1f %%\n", n, r, 100 * 10 ^ ((r - a) / 10) }'
done
echo "wrote $out/music.xm ($(stat -c %s "$out/music.xm") bytes), $out/music.wav," \
     "$out/music-spectrogram.png"
