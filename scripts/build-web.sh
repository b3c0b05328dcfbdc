#!/usr/bin/env bash
# Builds the demo for the browser: one self-contained page,
# dist/brumlakor-web.html, that runs from disk (file://) or any static host.
# On Debian 12 it installs what it needs first: Emscripten (with its frozen,
# prebuilt system libraries, offline), node, and the build machine's tools
# and libraries for the image and module generators. libxmp's Debian source
# package is fetched once into build-web/ and compiled with emcc.
# --tests also configures the browser tests (label "web").
# Prints the page's path.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=OFF
[ "${1:-}" = "--tests" ] && tests=ON

packages=(emscripten cmake ninja-build dpkg-dev build-essential pkg-config
          libsdl2-dev libxmp-dev libpng-dev)
command -v node >/dev/null || packages+=(nodejs) # Debian's, unless one is there already
./scripts/install-deps.sh "${packages[@]}"

# Debian's node does not search Debian's own JS modules (acorn), which emcc's
# optimiser needs.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBRUMLAKOR_WERROR="${BRUMLAKOR_WERROR:-OFF}" -DBUILD_TESTING="$tests" >/dev/null
cmake --build build-web -j"$(nproc)"
mkdir -p dist
cp build-web/driver/brumlakor-web.html dist/brumlakor-web.html
echo "$PWD/dist/brumlakor-web.html"
