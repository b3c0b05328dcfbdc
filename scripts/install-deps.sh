#!/usr/bin/env bash
# Installs, from Debian 12, whatever the build, the demo and the tests need and
# is not there yet. Runs apt-get only when a package is missing.
# With package names, installs those instead (the Windows and web builds).
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
  build-essential cmake pkg-config          # compiler and build
  libsdl2-dev                               # window, dialogs, events, GL context, audio
  libgl-dev libglu1-mesa-dev libegl-dev     # OpenGL 1.x, GLU, EGL
  libgl1-mesa-dri libegl-mesa0              # Mesa's software rasteriser (llvmpipe)
  libxmp-dev                                # XM decoding inside our player library
  libpng-dev zlib1g-dev                     # PNG reading in tests and tools, CRC-32
  libdeflate-dev                            # fast compression of the capture's PNG frames
  libgtest-dev libgmock-dev libbenchmark-dev # unit tests and benchmarks
  xvfb xdotool x11-utils libx11-dev         # end-to-end tests under a virtual X server
  libxfixes-dev                             # end-to-end tests: is the cursor hidden?
  imagemagick sox                           # screenshots, spectrograms and WAV checks
  ffmpeg                                    # video output of the capture tool (and its tests)
  clang libclang-rt-14-dev                  # fuzzing, sanitizer runtimes, CI's Clang build
  dpkg-dev                                  # dpkg-shlibdeps: the .deb's dependencies (package.sh)
  lintian desktop-file-utils appstream      # package tests: policy, desktop entry, metainfo checks
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq "${missing[@]}" >/dev/null
