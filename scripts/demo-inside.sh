#!/usr/bin/env bash
# The demo proper; scripts/demo.sh starts it inside a private network namespace.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ "${ZR_PRIVATE_NETWORK:-}" = "1" ] || { echo "run scripts/demo.sh" >&2; exit 2; }

sim_pids=()
cleanup()
{
    for pid in "${sim_pids[@]}"; do kill "$pid" 2> /dev/null || true; done
    wait 2> /dev/null || true
    "$root/scripts/private-lan.sh" down left right > /dev/null 2>&1 || true
}
trap cleanup EXIT

"$root/scripts/private-lan.sh" up left right > /dev/null
start_simulator()
{
    local host="$1"; shift
    ip netns exec "zr-$host" "$root/build/bin/zr-ampsim" --bind 0.0.0.0 --moving --no-stdin "$@" &
    sim_pids+=($!)
}
start_simulator left  --name "Stage Left" --model 1 --levels 0.5,0.45,0.35,0.3 --preset "$root/tools/ampsim/demo/stage-left.kvt"
start_simulator right --name "Monitors"   --model 6 --levels 0.3,0.25,0.2,0.2 --preset "$root/tools/ampsim/demo/monitors.kvt"

echo "Two simulated amplifiers: Stage Left (ZR440) at 192.0.2.11, Monitors (TARVO-4) at 192.0.2.12."
echo "Click one in the Setup page's list and answer \"Connect\"."
"$root/build/bin/zr-remote-connect"
