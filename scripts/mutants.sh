#!/usr/bin/env bash
# Injects the faults listed in scripts/mutants.txt one at a time into a tree,
# rebuilds (ccache: only the touched file recompiles) and runs the tests of
# the binaries listed for each; prints caught/missed and restores the file.
# Usage: scripts/mutants.sh TREE [BUILD_DIR] [NAME_FILTER]
set -uo pipefail
tree=$(cd "${1:?tree}" && pwd)
build=${2:-$tree/build}
filter=${3:-}
list="$(dirname "$0")/mutants.txt"
caught=0 missed=0
# The build's targets (a stale binary of a removed suite must not count).
targets=$(cmake --build "$build" --target help)

# ctest numbers of the tests whose command runs one of the given binaries,
# or that are named test:NAME among them (tests that run under node).
tests_of() {
  ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, sys
want = set(sys.argv[1:])
for i, t in enumerate(json.load(sys.stdin)["tests"], 1):
    cmd = t.get("command") or [""]
    if cmd[0].rsplit("/", 1)[-1] in want or "test:" + t["name"] in want:
        print(i)' "$@" | paste -sd, -
}
known_tests=$(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')

# Through ctest one test a process; with DIRECT=1 each binary runs whole
# (faster; needs binaries that pass whole, and no test:NAME).
run_tests() {
  if [[ ${DIRECT:-0} == 1 && "$*" != *test:* ]]; then
    local b status=0
    for b in "$@"; do
      timeout 300 "$(find "$build/tests" -name "$b" -type f -perm -u+x | head -1)" --gtest_brief=1 ||
        status=1
    done
    return $status
  fi
  ctest --test-dir "$build" -j2 -I "0,0,0,$(tests_of "$@")" --timeout 300
}

# The list comes in on descriptor 3: the tests must not read it from stdin.
while IFS='|' read -r name file script binaries <&3; do
  [[ -z $name || $name == \#* ]] && continue
  [[ -n $filter && ! $name =~ $filter ]] && continue
  cp "$tree/$file" "$tree/$file.orig"
  sed -i "$script" "$tree/$file"
  if cmp -s "$tree/$file" "$tree/$file.orig"; then
    echo "$name: NOT APPLIED"; mv "$tree/$file.orig" "$tree/$file"; continue
  fi
  start=$(date +%s)
  # Only the binaries this tree has (suites move between binaries).
  # A row's test:NAME words are tests of their own; a build without one of
  # them is not the row's build.
  named=$(for b in $binaries; do [[ $b == test:* ]] && echo "$b"; done | paste -sd' ' -)
  for b in $named; do grep -qx "${b#test:}" <<<"$known_tests" || named=missing; done
  binaries=$(for b in $binaries; do
    grep -qxE "(\.\.\. $b|$b: phony)" <<<"$targets" && echo "$b"
  done | paste -sd' ' -)
  if [[ -z $binaries || $named == missing ]]; then
    # The Windows rows have no binary in a Linux build (and the other way).
    echo "$name: SKIPPED (no test binary of it in this build)"
    mv "$tree/$file.orig" "$tree/$file"
    continue
  fi
  # shellcheck disable=SC2086
  if ! cmake --build "$build" -j2 --target $binaries >"$build/mutant-build.log" 2>&1; then
    verdict="caught (build)"
  else
    if run_tests $binaries $named >"$build/mutant-test.log" 2>&1; then
      verdict=MISSED
    else
      verdict="caught: $( (sed -n '/tests FAILED:/,$p' "$build/mutant-test.log" |
        grep -E '^\s+[0-9]+ - ' | awk '{print $3}'
        grep -E '^\[  FAILED  \] [A-Za-z]' "$build/mutant-test.log" | awk '{print $4}') |
        sort -u | head -3 | paste -sd' ' -)"
    fi
  fi
  [[ $verdict == MISSED ]] && missed=$((missed + 1)) || caught=$((caught + 1))
  echo "$name: $verdict ($(( $(date +%s) - start )) s)"
  mv "$tree/$file.orig" "$tree/$file"
  touch "$tree/$file"
done 3<"$list"
cmake --build "$build" -j2 >/dev/null 2>&1
echo "caught $caught of $((caught + missed))"
