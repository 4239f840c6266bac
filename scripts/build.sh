#!/usr/bin/env bash
# Configures and builds into a folder (default build/): the program ends up at
# <folder>/bin/zr-remote-connect, the simulator at <folder>/bin/zr-ampsim.
#   scripts/build.sh [folder] [extra cmake arguments...]
#   ZR_TARGETS="a b" scripts/build.sh ...   builds only those targets
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$folder" -DCMAKE_BUILD_TYPE="${ZR_BUILD_TYPE:-RelWithDebInfo}" "$@" > /dev/null
targets=()
for target in ${ZR_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$folder" -j"$(nproc)" "${targets[@]}"
