#!/usr/bin/env bash
# Measures what the built program costs at rest and connected (CPU share and wake-ups per
# second of each thread), under a private X display in a private network with a simulated
# amplifier.  Prints two tables; see tests/e2e/measure_idle_cost.py.
#   scripts/measure-idle-cost.sh [seconds per measurement, default 10]
# With --floor, measures the program at rest side by side with an empty window of the same
# size from the same framework (build/bin/idle_floor_window), both over the same seconds, in
# several runs, and prints each run, the medians and the ratios program/floor.
#   scripts/measure-idle-cost.sh --floor [runs, default 5] [seconds per measurement, default 10]
# The pointer rests off both windows; ZR_MEASURE_POINTER=panel rests it on the program's panel.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export ZR_MEASURE_MODE=threads
if [ "${1:-}" = "--floor" ]; then
    shift
    export ZR_MEASURE_MODE=floor
    export ZR_MEASURE_RUNS="${1:-5}"
    export ZR_MEASURE_SECONDS="${2:-10}"
else
    export ZR_MEASURE_SECONDS="${1:-10}"
fi
export ZR_BIN="${ZR_BIN:-$root/build/bin}"
cd "$root/tests/e2e"
exec "$root/scripts/in-private-network.sh" python3 isolated.py measure_idle_cost
