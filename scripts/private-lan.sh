#!/usr/bin/env bash
# Builds a small virtual LAN inside the current (private) network namespace:
#   this namespace: bridge zr-lan, 192.0.2.1/24, default route on it (so "/info" broadcasts
#   to 255.255.255.255 go onto the bridge and nowhere else);
#   one namespace per host name given, zr-<name>, on a veth pair into the bridge, addresses
#   192.0.2.11, .12, ... in the order given.
#   a host written NAME@2 goes on a second network instead: bridge zr-lan2, 198.51.100.1/24
#   with its broadcast address and no default route, hosts at 198.51.100.11, .12, ... (a
#   computer on a stage network and a second one).
#   a rack: one namespace zr-<name> holding COUNT addresses 192.0.2.11, .12, ... on its one
#   veth (for one zr-ampsim --rack COUNT serving them all).
#   scripts/private-lan.sh up NAME...     scripts/private-lan.sh down NAME...
#   scripts/private-lan.sh rack NAME COUNT   (then: down NAME)
# Only for use inside scripts/in-private-network.sh: it refuses to run anywhere else.
set -euo pipefail
[ "${ZR_PRIVATE_NETWORK:-}" = "1" ] || { echo "private-lan.sh: run inside scripts/in-private-network.sh" >&2; exit 2; }

action="${1:-}"
shift || true

bridge_up() {
    ip link add zr-lan type bridge
    ip addr add 192.0.2.1/24 dev zr-lan
    ip link set zr-lan up
    ip route add default dev zr-lan
}

case "$action" in
rack)
    name="${1:?rack NAME COUNT}"
    count="${2:?rack NAME COUNT}"
    if ! [[ "$count" =~ ^[0-9]+$ ]] || [ "$count" -lt 1 ] || [ "$count" -gt 200 ]; then
        echo "private-lan.sh: a rack holds 1 to 200 amplifiers" >&2
        exit 2
    fi
    bridge_up
    ns="zr-$name"
    ip netns add "$ns"
    ip link add "zrv-$name" type veth peer name eth0 netns "$ns"
    ip link set "zrv-$name" master zr-lan up
    ip -n "$ns" link set lo up
    for ((i = 0; i < count; i++)); do
        ip -n "$ns" addr add "192.0.2.$((11 + i))/24" brd + dev eth0
    done
    ip -n "$ns" link set eth0 up
    ip -n "$ns" route add default dev eth0
    echo "$name 192.0.2.11 $count"
    ;;
up)
    bridge_up
    n=11
    n2=11
    for entry in "$@"; do
        host="${entry%@2}"
        bridge=zr-lan
        subnet=192.0.2
        number=$n
        if [ "$host" != "$entry" ]; then
            bridge=zr-lan2
            subnet=198.51.100
            number=$n2
            if ! ip link show zr-lan2 >/dev/null 2>&1; then
                ip link add zr-lan2 type bridge
                ip addr add 198.51.100.1/24 brd + dev zr-lan2
                ip link set zr-lan2 up
            fi
        fi
        ns="zr-$host"
        ip netns add "$ns"
        ip link add "zrv-$host" type veth peer name eth0 netns "$ns"
        ip link set "zrv-$host" master "$bridge" up
        ip -n "$ns" link set lo up
        ip -n "$ns" addr add "$subnet.$number/24" brd + dev eth0
        ip -n "$ns" link set eth0 up
        ip -n "$ns" route add default dev eth0
        echo "$host $subnet.$number"
        if [ "$bridge" = zr-lan ]; then n=$((n + 1)); else n2=$((n2 + 1)); fi
    done
    ;;
down)
    for entry in "$@"; do
        ip netns del "zr-${entry%@2}" 2>/dev/null || true
    done
    ip link del zr-lan 2>/dev/null || true
    ip link del zr-lan2 2>/dev/null || true
    ;;
*)
    echo "usage: private-lan.sh up|down NAME... | rack NAME COUNT" >&2
    exit 2
    ;;
esac
