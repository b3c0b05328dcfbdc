#!/usr/bin/env bash
# CI's release stage: the demo and the capture tool built as users and
# packagers build them (Release, -O3), with GCC and with Clang, warnings as
# errors. Only those two targets: no tests, so the stage stays short.
#
#   scripts/release-builds.sh [gcc] [clang]     (both by default)
#   RELEASE_BUILD_ROOT=DIR  puts build-release-gcc/ and build-release-clang/ under DIR
set -euo pipefail
cd "$(dirname "$0")/.."
buildRoot=${RELEASE_BUILD_ROOT:-$PWD}

buildWith() {
    local name=$1 cc=$2 cxx=$3
    local build=$buildRoot/build-release-$name
    local start
    start=$(date +%s)
    CC=$cc CXX=$cxx cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DBRUMLAKOR_WERROR=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)" --target brumlakor brumlakor-capture
    echo "== release ($name): built in $(($(date +%s) - start)) s" >&2
}

compilers=("$@")
[ ${#compilers[@]} -eq 0 ] && compilers=(gcc clang)
for compiler in "${compilers[@]}"; do
    case "$compiler" in
    gcc) buildWith gcc gcc g++ ;;
    clang) buildWith clang clang clang++ ;;
    *)
        echo "release-builds.sh: unknown compiler '$compiler' (gcc or clang)" >&2
        exit 2
        ;;
    esac
done
