#!/usr/bin/env bash
# The sanitizer stage of CI: the tree built with ASan+UBSan and with TSan, each
# running the unit tests (not the X-server or slow ones) and a capture of the
# first 25 s of the presentation, which crosses every scene change. Any report
# fails the stage. Suppressions (Mesa's and the system's own only) live in
# tests/hardening/.
#
#   scripts/sanitize.sh [asan] [tsan]      (both by default)
#   SANITIZE_BUILD_ROOT=DIR  puts build-asan/ and build-tsan/ under DIR
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
suppressions=$root/tests/hardening
buildRoot=${SANITIZE_BUILD_ROOT:-$root}
captureSeconds=${SANITIZE_CAPTURE_SECONDS:-25}

# halt_on_error turns the first report into a failed test; exitcode 66 marks
# a sanitizer's exit apart from a test's own failure.
export ASAN_OPTIONS="halt_on_error=1:exitcode=66:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:exitcode=66:print_stacktrace=1:suppressions=$suppressions/ubsan.supp"
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp:print_suppressions=0"

stamp() { date +%s; }

runStage() {
    local name=$1 sanitizers=$2
    local build=$buildRoot/build-$name
    local start
    start=$(stamp)
    echo "== $name ($sanitizers): build" >&2
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBRUMLAKOR_SANITIZE="$sanitizers" -DBRUMLAKOR_BENCHMARKS=OFF \
        -DBRUMLAKOR_WERROR="${BRUMLAKOR_WERROR:-OFF}" >/dev/null
    cmake --build "$build" -j"$(nproc)"
    local built
    built=$(stamp)
    echo "== $name: unit tests" >&2
    ctest --test-dir "$build" --output-on-failure -j2 -LE 'e2e|slow'
    local tested
    tested=$(stamp)
    echo "== $name: capture of the first ${captureSeconds} s" >&2
    local out
    out=$(mktemp -d)
    local status=0
    # Under ASan, Mesa's drivers stay mapped at exit (see keep_mesa_loaded.c)
    # so that LeakSanitizer sees their globals; nothing is suppressed for it.
    local preload=""
    [ "$name" = asan ] && preload=$build/tests/hardening/libkeep_mesa_loaded.so
    LD_PRELOAD=$preload ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0" \
        "$build/capture/brumlakor-capture" --seconds "$captureSeconds" \
        --manifest "$out/manifest.txt" "$out/frames" 2>"$out/stderr.txt" || status=$?
    cat "$out/stderr.txt" >&2
    if [ "$status" -ne 0 ] || grep -q -E 'Sanitizer|runtime error:' "$out/stderr.txt"; then
        echo "== $name: the capture failed (status $status) or the sanitizer reported" >&2
        rm -rf "$out"
        return 1
    fi
    # Every scene change of the opening and the three music syncs were crossed.
    local scenes
    scenes=$(awk '{print $3}' "$out/manifest.txt" | uniq | tr '\n' ' ')
    rm -rf "$out"
    echo "== $name: scenes drawn in turn: $scenes" >&2
    case "$scenes" in
    *"41 48 60 70"*) ;;
    *)
        echo "== $name: the capture did not reach the tunnel" >&2
        return 1
        ;;
    esac
    echo "== $name: build $((built - start)) s, unit tests $((tested - built)) s, capture $(($(stamp) - tested)) s" >&2
}

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(asan tsan)
for stage in "${stages[@]}"; do
    case "$stage" in
    asan) runStage asan address,undefined ;;
    tsan) runStage tsan thread ;;
    *)
        echo "sanitize.sh: unknown stage '$stage' (asan or tsan)" >&2
        exit 2
        ;;
    esac
done
