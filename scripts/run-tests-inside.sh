#!/usr/bin/env bash
# The test run proper; scripts/test.sh starts it inside a private network namespace.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ "${ZR_PRIVATE_NETWORK:-}" = "1" ] || { echo "run through scripts/test.sh" >&2; exit 2; }

passed=0
failed=0
record() { if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $2"; fi; }

# Runs CTest in a build folder and adds its counts to the totals.
run_ctest() {
    local log
    log="$(mktemp)"
    "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    local summary
    summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
    rm -f "$log"
    if [ -z "$summary" ]; then
        record 1 "$*"
        return
    fi
    local bad total
    bad="$(echo "$summary" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')"
    total="$(echo "$summary" | sed -E 's/.* failed out of ([0-9]+).*/\1/')"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$status" -eq 0 ] || [ "$bad" -gt 0 ] || failed=$((failed + 1))
}

echo "== unit and integration tests"
run_ctest xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ctest --test-dir "$root/build" --output-on-failure -j2 --timeout 300

# Runs one GoogleTest binary and adds its counts to the totals; a run that ends without
# GoogleTest's summary (a crash, a sanitizer report) counts as one failure.
run_gtest() {
    local log
    log="$(mktemp)"
    "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    local good bad
    good="$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -n 1)"
    bad="$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:.*/\1/p' "$log" | tail -n 1)"
    rm -f "$log"
    passed=$((passed + ${good:-0}))
    failed=$((failed + ${bad:-0}))
    if [ -z "$good" ] || { [ "$status" -ne 0 ] && [ "${bad:-0}" -eq 0 ]; }; then
        record 1 "$*"
    fi
}

echo "== windowless tests under ThreadSanitizer"
run_ctest env TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir "$root/build-tsan" --output-on-failure -j2 --timeout 600

echo "== shutdown order under AddressSanitizer"
run_gtest xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    env ASAN_OPTIONS="halt_on_error=1" \
    "$root/build-asan/bin/shutdown_tests"

echo "== layout of the C++ files (.clang-format)"
"$root/scripts/check-format.sh"
record $? "scripts/check-format.sh"

echo "== fuzz targets"
seconds="${ZR_FUZZ_SECONDS:-20}"
for fuzzer in "$root"/build-fuzz/bin/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name="$(basename "$fuzzer")"
    corpus="$(mktemp -d)"
    seeds="$root/fuzz/corpus/$name"
    [ -d "$seeds" ] || seeds=""
    if "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=0 \
           -artifact_prefix="$corpus/" "$corpus" $seeds > "$corpus.log" 2>&1; then
        echo "fuzz $name: clean for ${seconds} s"
        record 0 "$name"
    else
        tail -n 40 "$corpus.log"
        record 1 "fuzz $name"
    fi
    rm -rf "$corpus" "$corpus.log"
done

# The package checks ran before the namespace was entered (scripts/test.sh).
if [ -n "${ZR_PACKAGE_PASSED:-}" ]; then
    echo "== the Debian package: ${ZR_PACKAGE_PASSED} passed, ${ZR_PACKAGE_FAILED} failed (above)"
    passed=$((passed + ZR_PACKAGE_PASSED))
    failed=$((failed + ZR_PACKAGE_FAILED))
fi

echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
