#!/usr/bin/env bash
# Runs a command in a network namespace of its own, with only loopback up, so nothing it
# sends (the program broadcasts "/info" at start-up) can leave the machine.  Inside, a private
# /run/netns lets tests build extra hosts with `ip netns` and veth pairs.
#   scripts/in-private-network.sh COMMAND [ARGS...]
set -euo pipefail

if [ "${ZR_PRIVATE_NETWORK:-}" != "1" ]; then
    export ZR_PRIVATE_NETWORK=1
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare --net --mount --propagation private -- "$0" "$@"
    fi
    # An ordinary user gets the same through a user namespace (Debian allows them by default).
    exec unshare --net --mount --propagation private --map-root-user -- "$0" "$@"
fi

ip link set lo up
mkdir -p /run/netns 2>/dev/null || true
mount -t tmpfs -o mode=755 zr-netns /run/netns
# Nothing but loopback may exist here, so nothing sent can leave the machine.
if ip -o link show | grep -qv ': lo:'; then
    echo "in-private-network: unexpected interfaces in the private namespace" >&2
    exit 1
fi
exec "$@"
