#!/usr/bin/env bash
# Capture speed: the same frames rendered alone (manifest only), written as
# PNG frames and WAV sound, and encoded as MP4, round after round. Prints each
# as a multiple of real time and as a ratio to rendering alone in the same
# round, then the medians. On a machine shared with other work the multiples
# move with the load; the ratios hold far better.
#
#   bench/capture_bench.sh [BUILD_DIR]          (default: build)
#   BENCH_SECONDS=60 BENCH_ROUNDS=3 BENCH_SCALE=1
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
capture=$build/capture/brumlakor-capture
seconds=${BENCH_SECONDS:-60}
rounds=${BENCH_ROUNDS:-3}
scale=${BENCH_SCALE:-1}
if [ ! -x "$capture" ]; then
    echo "capture_bench.sh: $capture is not built" >&2
    exit 2
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# One capture; prints its multiple of real time, from the tool's own summary
# (the time from the first frame until the output is complete), and keeps
# the processor time it took with ffmpeg's (bash's time covers children).
run() {
    local name=$1 TIMEFORMAT='%3U %3S'
    shift
    if ! { time "$capture" --seconds "$seconds" --scale "$scale" --timings "$@" \
        2>"$out/$name.err"; } 2>"$out/$name.cpu"; then
        echo "capture_bench.sh: the $name capture failed:" >&2
        cat "$out/$name.err" >&2
        exit 1
    fi
    sed -n 's/.*(\([0-9.]*\)x real time).*/\1/p' "$out/$name.err"
}

# Processor milliseconds per captured frame: with both cores free, no capture
# runs faster than half of it per frame.
cpu() {
    awk -v seconds="$seconds" '{printf "%.1f", ($1 + $2) * 1000 / int(seconds * 50 + 0.5)}' "$out/$1.cpu"
}

median() {
    sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores; first $seconds s at scale $scale"
printf '%-6s %10s %10s %8s %10s %8s\n' round render png+wav ratio mp4 ratio
for round in $(seq "$rounds"); do
    rm -rf "$out/frames" "$out/video.mp4"
    render=$(run render --manifest "$out/manifest.txt")
    png=$(run png --manifest "$out/png-manifest.txt" "$out/frames")
    mp4=$(run mp4 "$out/video.mp4")
    # Writing must not change a pixel: the two manifests agree line for line.
    if ! cmp -s "$out/manifest.txt" "$out/png-manifest.txt"; then
        echo "capture_bench.sh: the PNG capture's manifest differs from rendering alone" >&2
        exit 1
    fi
    pngRatio=$(awk -v a="$png" -v b="$render" 'BEGIN {printf "%.2f", a / b}')
    mp4Ratio=$(awk -v a="$mp4" -v b="$render" 'BEGIN {printf "%.2f", a / b}')
    printf '%-6s %9.2fx %9.2fx %8s %9.2fx %8s\n' "$round" "$render" "$png" "$pngRatio" "$mp4" "$mp4Ratio"
    echo "$render $png $pngRatio $mp4 $mp4Ratio" >>"$out/rounds.txt"
done
column() { awk -v c="$1" '{print $c}' "$out/rounds.txt" | median; }
printf '%-6s %9.2fx %9.2fx %8.2f %9.2fx %8.2f\n' median "$(column 1)" "$(column 2)" "$(column 3)" \
    "$(column 4)" "$(column 5)"
echo "sizes (last round): PNG frames $(du -sb "$out/frames" --exclude=audio.wav | cut -f1) bytes," \
    "MP4 $(stat -c %s "$out/video.mp4") bytes"
echo "where the time went (last round), and processor time per frame:"
for name in render png mp4; do
    printf '  %-6s %s ms: %s\n' "$name" "$(cpu "$name")" \
        "$(sed -n 's/^brumlakor-capture: per frame: //p' "$out/$name.err")"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
