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
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
command -v node >/dev/null || missing+=(nodejs) # Debian's, unless one is there already
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
    "${missing[@]}" >/dev/null
fi

# Debian's node does not search Debian's own JS modules (acorn), which emcc's
# optimiser needs.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DBRUMLAKOR_WERROR="${BRUMLAKOR_WERROR:-OFF}" -DBUILD_TESTING="$tests" >/dev/null
cmake --build build-web -j"$(nproc)"
mkdir -p dist
cp build-web/driver/brumlakor-web.html dist/brumlakor-web.html
echo "$PWD/dist/brumlakor-web.html"
