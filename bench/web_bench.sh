#!/usr/bin/env bash
# The web page's figures: its size, the start and frame times in headless
# Chromium (bench/web_bench.js), the sync offsets (bench/web_sync.js), and
# beside them the desktop build's frame times on llvmpipe in the same run
# (bench/webgl_bench.sh), with the load.
#
#   bench/web_bench.sh [WEB_BUILD_DIR] [BUILD_DIR]   (defaults: build-web, build)
set -euo pipefail
cd "$(dirname "$0")/.."
page=$PWD/${1:-build-web}/driver/brumlakor-web.html
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "size: $(stat -c %s "$page") bytes (limit 2621440)"
node bench/web_bench.js "$page"
build=${2:-build}
[ -x "$build/bench/sync_samples" ] && node bench/web_sync.js "$page" "$build/bench/sync_samples" \
  "$build/assets/music.xm"
[ -x "$build/tests/webgl/brumlakor-capture-es2" ] && bench/webgl_bench.sh "$build"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
