#!/usr/bin/env bash
# Soak: captures 10 minutes of the presentation (the song loops many times)
# and samples the capture's resident memory, open file descriptors and
# threads once a minute. Flat after the first pass means nothing leaks.
# Not part of CI: it takes as long as the capture does.
#
#   scripts/soak.sh [BUILD_DIR]        (default: build)
#   SOAK_SECONDS=600 SOAK_INTERVAL=60  presentation length, sampling period (s)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
capture=$build/capture/brumlakor-capture
seconds=${SOAK_SECONDS:-600}
interval=${SOAK_INTERVAL:-60}
if [ ! -x "$capture" ]; then
    echo "soak.sh: $capture is not built" >&2
    exit 2
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The manifest alone: every frame is rendered, read back and checksummed and
# the sound rendered, but no image files pile up on the disk.
"$capture" --seconds "$seconds" --manifest "$out/manifest.txt" 2>"$out/stderr.txt" &
pid=$!

sample() {
    local rss threads fds
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
    threads=$(awk '/^Threads:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    local frames=0
    [ -f "$out/manifest.txt" ] && frames=$(wc -l <"$out/manifest.txt")
    [ -n "$rss" ] || return 1
    printf '%6d %8d %10d %5d %7d\n' "$(($(date +%s) - start))" "$frames" "$rss" "$fds" "$threads"
}

start=$(date +%s)
printf '%6s %8s %10s %5s %7s\n' wall_s frames rss_kib fds threads
sleep 2
sample || true
while kill -0 "$pid" 2>/dev/null; do
    for ((i = 0; i < interval; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 1
    done
    sample || true
done
status=0
wait "$pid" || status=$?
cat "$out/stderr.txt" >&2
echo "capture exit status $status; $(wc -l <"$out/manifest.txt") frames" >&2
exit "$status"
