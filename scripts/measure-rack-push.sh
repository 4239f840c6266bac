#!/usr/bin/env bash
# Measures a push of one preset to a rack of simulated amplifiers against a push of the
# same preset to one of them, in the same run: one zr-ampsim --rack serves COUNT amplifiers
# answering after DELAY ms (as amplifiers on a real network do), on a private LAN.
# Prints the wall time of each push (the median of ROUNDS) and their ratio.
#   scripts/measure-rack-push.sh [COUNT, default 50] [DELAY ms, default 2] [ROUNDS, default 5]
#   ZR_CTL_ARGS="--parallel 50" adds options to every zr-ctl call.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${ZR_PRIVATE_NETWORK:-}" != "1" ]; then
    exec "$root/scripts/in-private-network.sh" "$0" "$@"
fi

count="${1:-50}"
delay="${2:-2}"
rounds="${3:-5}"
bin="${ZR_BIN:-$root/build/bin}"
preset="$root/tools/ampsim/demo/stage-left.kvt"
work="$(mktemp -d /tmp/zr-rack-push-XXXXXX)"
sim=""

finish() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null || true
    "$root/scripts/private-lan.sh" down rack >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap finish EXIT

"$root/scripts/private-lan.sh" rack rack "$count" >/dev/null
# No log: writing one line per message would be measured too.
ip netns exec zr-rack "$bin/zr-ampsim" --bind 192.0.2.11 --rack "$count" --name Rack --reply-delay "$delay" \
    --no-stdin 2>"$work/rack.err" &
sim=$!
for _ in $(seq 100); do
    grep -q " on 192.0.2.11:" "$work/rack.err" 2>/dev/null && break
    sleep 0.1
done

for ((i = 0; i < count; i++)); do
    echo "192.0.2.$((11 + i))" >> "$work/rack.txt"
done

# Milliseconds of one zr-ctl push; stops the measurement when it does not confirm everything.
push_ms() {
    local start end
    start=$(date +%s%N)
    if ! "$bin/zr-ctl" ${ZR_CTL_ARGS:-} push --hosts "$1" "$preset" > "$work/out.txt"; then
        echo "measure-rack-push: a push failed:" >&2
        grep FAILED "$work/out.txt" >&2 || true
        exit 1
    fi
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

one=$(for _ in $(seq "$rounds"); do push_ms 192.0.2.11; done | median)
all=$(for _ in $(seq "$rounds"); do push_ms "@$work/rack.txt"; done | median)

printf "%-32s %10s\n" "push (reply delay $delay ms)" "wall ms"
printf "%-32s %10s\n" "one amplifier" "$one"
printf "%-32s %10s\n" "$count amplifiers" "$all"
printf "%-32s %10s\n" "ratio" "$(awk -v a="$all" -v o="$one" 'BEGIN { printf "%.2f", a / o }')"
