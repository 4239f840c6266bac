#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test inside a private network
# namespace: the unit and integration tests (CTest, under a virtual X display), the link
# tests again under ThreadSanitizer, the shutdown-order test again under AddressSanitizer,
# and each fuzz target for a bounded time.  Before that, outside the namespace (it needs the
# package registry), the Debian package is made and tried on a fresh Debian 12 root.
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

echo "== the browser test's packages (tests/browser, from the npm registry)"
# Outside the private network: the registry is out of its reach.
(cd "$root/tests/browser" && npm ci --no-audit --no-fund --ignore-scripts > /dev/null) \
    || echo "npm ci failed: the browser test will fail"

echo "== the Debian package (made, checked, installed on a fresh root, started, purged)"
rm -f "$root"/build/packages/*.deb
if (cd "$root/build" && cpack -G DEB > cpack.log 2>&1); then
    log="$(mktemp)"
    "$root/tests/package/check-package.sh" "$root"/build/packages/*.deb 2>&1 | tee "$log" || true
    counts="$(sed -nE 's/^package: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/p' "$log")"
    rm -f "$log"
    read -r ZR_PACKAGE_PASSED ZR_PACKAGE_FAILED <<< "${counts:-0 1}"
else
    tail -n 30 "$root/build/cpack.log"
    echo "FAILED: cpack"
    ZR_PACKAGE_PASSED=0 ZR_PACKAGE_FAILED=1
fi
export ZR_PACKAGE_PASSED ZR_PACKAGE_FAILED

exec "$root/scripts/in-private-network.sh" "$root/scripts/run-tests-inside.sh"
