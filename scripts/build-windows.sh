#!/usr/bin/env bash
# Builds brumlakor.exe for 64-bit Windows on Debian 12 with MinGW-w64: installs
# what is missing, fetches libxmp's source package once (kept in the build
# folder), builds the data generators for this machine and the demo for
# Windows, and packs dist/brumlakor-windows-x86_64.zip.
# Usage: build-windows.sh [--tests] [--i686]
#   --tests  also builds the Windows tests (run them under Wine: ctest -L windows)
#   --i686   builds for 32-bit Windows instead, in build-windows-i686 (its tests
#            need Wine's 32-bit part: dpkg --add-architecture i386, wine32:i386)
set -euo pipefail
cd "$(dirname "$0")/.."

tests=OFF
arch=x86_64
build=build-windows
for option in "$@"; do
  case "$option" in
    --tests) tests=ON ;;
    --i686) arch=i686 build=build-windows-i686 ;;
    *) echo "usage: build-windows.sh [--tests] [--i686]" >&2; exit 2 ;;
  esac
done

packages=(
  mingw-w64                                 # the cross compilers (posix thread model)
  build-essential cmake pkg-config dpkg-dev # host compiler, build, apt-get source's unpacking
  libpng-dev libsdl2-dev libxmp-dev         # host-built generators and the Linux player
  libgtest-dev                              # GoogleTest's sources, built for Windows
)
./scripts/install-deps.sh "${packages[@]}"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING="$tests" \
  -DBRUMLAKOR_WERROR="${BRUMLAKOR_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"

exe="$PWD/$build/bin/brumlakor.exe"
[ -f "$exe" ] || { echo "build-windows: $exe was not built" >&2; exit 1; }

# The package: the executable without its debug information, and a note.
stage="$build/dist/brumlakor"
rm -rf "$stage" && mkdir -p "$stage" dist
"$arch-w64-mingw32-strip" -o "$stage/brumlakor.exe" "$exe"
sed 's/$/\r/' cmake/windows-readme.txt >"$stage/README.txt" # Windows line ends
zip="$PWD/dist/brumlakor-windows-$arch.zip"
rm -f "$zip"
(cd "$build/dist" && cmake -E tar cf "$zip" --format=zip brumlakor)

echo "brumlakor.exe: $exe"
echo "package:       $zip"
