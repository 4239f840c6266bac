#!/usr/bin/env bash
# Measures what the built program costs at rest and connected (CPU share and wake-ups per
# second of each thread), under a private X display in a private network with a simulated
# amplifier.  Prints two tables; see tests/e2e/measure_idle_cost.py.
#   scripts/measure-idle-cost.sh [seconds per measurement, default 10]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export ZR_MEASURE_SECONDS="${1:-10}"
export ZR_BIN="${ZR_BIN:-$root/build/bin}"
cd "$root/tests/e2e"
exec "$root/scripts/in-private-network.sh" python3 isolated.py measure_idle_cost
