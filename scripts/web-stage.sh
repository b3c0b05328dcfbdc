#!/usr/bin/env bash
# CI's web stage: installs Emscripten, node, npm and Debian's Chromium, the
# test driver (playwright-core, as tests/web/package-lock.json pins it),
# builds the page with its tests and runs them (label "web"). Prints how long
# the stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# node and npm from Debian, unless a node of another origin (whose package
# carries npm and conflicts with Debian's) is there already.
packages=(emscripten chromium)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
$sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
  "${packages[@]}" >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --silent)

./scripts/build-web.sh --tests
status=0
ctest --test-dir build-web -L web --output-on-failure || status=$?
echo "web stage: $(( $(date +%s) - start )) s" >&2
exit $status
