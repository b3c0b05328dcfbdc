#!/usr/bin/env bash
# Builds the release packages into dist/: the Debian package, made by CPack with
# its dependencies found by dpkg-shlibdeps, and a tarball of the installed tree
# with a short README. BUILD_DIR (default build) and DIST_DIR (default dist)
# choose other folders.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
dist=${DIST_DIR:-dist}

./scripts/install-deps.sh
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
mkdir -p "$dist"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=brumlakor_${version}_$(dpkg --print-architecture).deb
mv "$work/deb/$deb" "$dist/"

name=brumlakor-$version-linux-$(uname -m)
cmake --install "$build" --prefix "$work/$name" --strip >/dev/null
sed "s/@PROJECT_VERSION@/$version/" packaging/README.tarball >"$work/$name/README"
tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner -czf "$dist/$name.tar.gz" "$name"
echo "$dist/$deb"
echo "$dist/$name.tar.gz"
