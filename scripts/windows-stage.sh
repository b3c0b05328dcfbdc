#!/usr/bin/env bash
# CI's Windows stage: installs the cross compilers and Wine, builds the
# Windows demo with its tests and runs them (label "windows") under Wine, in a
# fresh Wine prefix inside the build folder. Prints how long the stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
# The cross compilers, Wine, and what the end-to-end tests' driver uses on
# this side (virtual X server, keys, screenshots).
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
  mingw-w64 wine64 wine \
  xvfb xdotool x11-utils imagemagick libx11-dev libxfixes-dev libpng-dev libgtest-dev >/dev/null

./scripts/build-windows.sh --tests

# The build's own prefix (every Windows test runs in it), made up front, and
# one server kept up for the run: each test program then starts in a fraction
# of a second instead of seconds (the end-to-end test starts it afresh, for the
# X server of its own).
# (The server first: started while another still winds down it would fail.)
export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p
cmake/wine-run.sh "$WINEPREFIX" wineboot -i 2>/dev/null
status=0
ctest --test-dir build-windows -L windows --output-on-failure -j2 || status=$?
wineserver -k || true

echo "Windows stage: $(($(date +%s) - start)) s"
exit "$status"
