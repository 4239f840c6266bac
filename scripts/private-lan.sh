#!/usr/bin/env bash
# Builds a small virtual LAN inside the current (private) network namespace:
#   this namespace: bridge zr-lan, 192.0.2.1/24, default route on it (so "/info" broadcasts
#   to 255.255.255.255 go onto the bridge and nowhere else);
#   one namespace per host name given, zr-<name>, on a veth pair into the bridge, addresses
#   192.0.2.11, .12, ... in the order given.
#   scripts/private-lan.sh up NAME...     scripts/private-lan.sh down NAME...
# Only for use inside scripts/in-private-network.sh: it refuses to run anywhere else.
set -euo pipefail
[ "${ZR_PRIVATE_NETWORK:-}" = "1" ] || { echo "private-lan.sh: run inside scripts/in-private-network.sh" >&2; exit 2; }

action="${1:-}"
shift || true

case "$action" in
up)
    ip link add zr-lan type bridge
    ip addr add 192.0.2.1/24 dev zr-lan
    ip link set zr-lan up
    ip route add default dev zr-lan
    n=11
    for host in "$@"; do
        ns="zr-$host"
        ip netns add "$ns"
        ip link add "zrv-$host" type veth peer name eth0 netns "$ns"
        ip link set "zrv-$host" master zr-lan up
        ip -n "$ns" link set lo up
        ip -n "$ns" addr add "192.0.2.$n/24" dev eth0
        ip -n "$ns" link set eth0 up
        ip -n "$ns" route add default dev eth0
        echo "$host 192.0.2.$n"
        n=$((n + 1))
    done
    ;;
down)
    for host in "$@"; do
        ip netns del "zr-$host" 2>/dev/null || true
    done
    ip link del zr-lan 2>/dev/null || true
    ;;
*)
    echo "usage: private-lan.sh up|down NAME..." >&2
    exit 2
    ;;
esac
