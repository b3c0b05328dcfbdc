#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless (the end-to-end tests start their own virtual X server).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBRUMLAKOR_WERROR="${BRUMLAKOR_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j2 "$@"
./scripts/test-ratio.sh
