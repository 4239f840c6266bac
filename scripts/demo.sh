#!/usr/bin/env bash
# Tries the program without an amplifier: builds what is missing, then starts the program
# together with two simulated amplifiers (a ZR440 and a TARVO-4 with their own settings and
# moving meters) on a virtual network of their own.  Nothing leaves the machine: the program
# and the simulators run in private network namespaces.  Closing the window stops everything.
#
# Where unprivileged user namespaces are not available, it falls back to one simulator on the
# loopback address 127.0.0.2: type that address into the Setup page's IP field and press
# "Add fixed IP".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" > /dev/null

if [ "${ZR_DEMO_LOOPBACK:-}" != "1" ] && "$root/scripts/in-private-network.sh" true 2> /dev/null; then
    exec "$root/scripts/in-private-network.sh" "$root/scripts/demo-inside.sh"
fi

echo "Private network namespaces are not available here: using one simulator on loopback."
echo "In the Setup page, type 127.0.0.2 into the IP field and press \"Add fixed IP\"."
sim_pids=()
cleanup() { for pid in "${sim_pids[@]}"; do kill "$pid" 2> /dev/null || true; done; }
trap cleanup EXIT
"$root/build/bin/zr-ampsim" --bind 127.0.0.2 --name "Stage Left" --model 1 --moving --no-stdin \
    --levels 0.5,0.45,0.35,0.3 --preset "$root/tools/ampsim/demo/stage-left.kvt" &
sim_pids+=($!)
"$root/build/bin/zr-remote-connect"
