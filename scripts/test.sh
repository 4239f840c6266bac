#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test inside a private network
# namespace: the unit and integration tests (CTest, under a virtual X display), the link
# tests again under ThreadSanitizer, the shutdown-order test again under AddressSanitizer,
# and each fuzz target for a bounded time.
#   scripts/test.sh            everything
#   ZR_FUZZ_SECONDS=5 scripts/test.sh   shorter fuzzing
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh"

echo "== build (program, tests, tools)"
"$root/scripts/build.sh" "$root/build"

echo "== build (thread sanitizer, windowless parts)"
"$root/scripts/build.sh" "$root/build-tsan" -DZR_GUI=OFF -DZR_SANITIZE=thread

echo "== build (address sanitizer, the shutdown-order test only)"
CC=clang CXX=clang++ ZR_TARGETS=shutdown_tests "$root/scripts/build.sh" "$root/build-asan" -DZR_SANITIZE=address

echo "== build (fuzz targets, clang with address and undefined-behaviour sanitizers)"
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build-fuzz" -DZR_FUZZ=ON

exec "$root/scripts/in-private-network.sh" "$root/scripts/run-tests-inside.sh"
