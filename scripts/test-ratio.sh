#!/usr/bin/env bash
# Prints the size of the test suite against the size of the code it tests:
# non-blank lines that are not only a comment, in tests/ (C++, C, shell,
# Python, JS) and in every C++/C/JS source outside tests/ and bench/ (npm's
# node_modules left out).
set -euo pipefail
cd "$(dirname "$0")/.."

# Counts code lines of the files given on stdin (one path a line).
count() {
  xargs -r awk '
    FNR == 1 { block = 0; hash = FILENAME ~ /\.(sh|py)$/ }
    {
      line = $0
      gsub(/^[ \t]+|[ \t]+$/, "", line)
      if (block) { if (line ~ /\*\//) { block = 0; sub(/.*\*\//, "", line) } else next }
      if (!hash && line ~ /^\/\*/ && line !~ /\*\//) { block = 1; next }
      if (!hash && line ~ /^\/\*.*\*\/$/) next
      if (line == "") next
      if (hash && line ~ /^#/ && line !~ /^#!/) next
      if (!hash && line ~ /^\/\//) next
      n++
    }
    END { print n + 0 }' | awk '{ s += $1 } END { print s + 0 }'
}

tests=$(find tests -name node_modules -prune -o -type f \( -name '*.cpp' -o -name '*.h' \
  -o -name '*.c' -o -name '*.sh' -o -name '*.py' -o -name '*.js' \) -print | sort | count)
code=$(find . \( -path ./tests -o -path ./bench -o -path './build*' -o -path ./.git -o -name node_modules \) -prune \
  -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.hpp' -o -name '*.cc' \
  -o -name '*.js' \) \
  -print | sort | count)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d, code %d, ratio %.2f\n", t, c, t / c }'
