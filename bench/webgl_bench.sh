#!/usr/bin/env bash
# Frame time of each scene through the fixed-function layer on ES 2.0
# (llvmpipe) against the desktop OpenGL drawing of the same frames, from the
# two capture tools' own figures (rendering includes the rasteriser: every
# frame is read back for the manifest). Prints ms per frame and the ratio.
#
#   bench/webgl_bench.sh [BUILD_DIR]          (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
desktop=$build/capture/brumlakor-capture
es2=$build/tests/webgl/brumlakor-capture-es2
for tool in "$desktop" "$es2"; do
    if [ ! -x "$tool" ]; then
        echo "webgl_bench.sh: $tool is not built" >&2
        exit 2
    fi
done

# Scene boundaries: the opening, panels, sliding picture, lit object, tunnel.
ends=(185 395 705 1014 1500)
names=("title and wipe" "flying panels" "sliding picture" "lit object" "tunnel and object")

# Milliseconds of rendering for frames 0 .. end - 1 with tool.
total() {
    local line
    line=$("$1" --frames "$2" --manifest /dev/null --timings 2>&1 | grep 'per frame:')
    sed -n 's/.*rendering \([0-9.]*\) ms.*/\1/p' <<<"$line" | awk -v n="$2" '{ print $1 * n }'
}

printf '%-20s %10s %10s %7s\n' scene desktop es2-layer ratio
previousEnd=0 previousDesktop=0 previousEs2=0
for i in "${!ends[@]}"; do
    end=${ends[$i]}
    d=$(total "$desktop" "$end")
    e=$(total "$es2" "$end")
    awk -v name="${names[$i]}" -v d="$d" -v e="$e" -v pd="$previousDesktop" -v pe="$previousEs2" \
        -v n=$((end - previousEnd)) 'BEGIN {
        dm = (d - pd) / n; em = (e - pe) / n
        printf "%-20s %7.2f ms %7.2f ms %6.2fx\n", name, dm, em, em / dm }'
    previousEnd=$end previousDesktop=$d previousEs2=$e
done
