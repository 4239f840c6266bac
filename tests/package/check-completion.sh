#!/usr/bin/env bash
# Sources the zr-ctl completion script in a plain bash (no bash-completion package needed)
# and asks it what it offers: commands, options, preset files for pull and push, slots,
# block addresses for set, host names.
#
#   tests/package/check-completion.sh SCRIPT
# Prints one line per check and "completion: N passed, M failed" last; exits 1 on a failure.
set -uo pipefail
script="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
export LC_ALL=C

# shellcheck source=/dev/null
if ! source "$script" || ! complete -p zr-ctl | grep -q -- "-F _zr_ctl"; then
    echo "completion check: the script loads and completes zr-ctl: FAILED"
    echo "completion: 0 passed, 1 failed"
    exit 1
fi

# offered WORDS...: what the completion offers for the last word, sorted, on one line
offered() {
    COMP_WORDS=(zr-ctl "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _zr_ctl
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

expect() {   # expect WHAT WANTED GOT
    if [ "$2" = "$3" ]; then
        echo "completion check: $1: ok"
        passed=$((passed + 1))
    else
        echo "completion check: $1: FAILED"
        echo "  wanted: $2"
        echo "  got:    $3"
        failed=$((failed + 1))
    fi
}

cd "$work" || exit 1
mkdir rigs
touch club.kvt "Stage Left.KVT" notes.txt rigs/inside.kvt
printf '192.0.2.11 amp-left\n192.0.2.12 amp-right monitors\n' > hosts
export HOSTFILE="$work/hosts"

expect "every command" "discover help info meters pull push recall set slots store" "$(offered "")"
expect "commands by their start" "pull push" "$(offered pu)"
expect "options before the command" "--help --json --timeout" "$(offered --)"
expect "--count for meters" "--count" "$(offered meters 192.0.2.11 --c)"
expect "nothing after --timeout" "" "$(offered --timeout "")"
expect "host names for the host" "amp-left amp-right" "$(offered info amp)"
expect "the next name of a --hosts list" "amp-left,amp-right" "$(offered push --hosts amp-left,amp-r)"
expect "preset files and folders for pull" "Stage Left.KVT club.kvt rigs" "$(offered pull 192.0.2.11 "")"
expect "preset files inside a folder for push" "rigs/inside.kvt" "$(offered push amp-left rigs/)"
expect "preset files right after --hosts" "Stage Left.KVT club.kvt rigs" "$(offered push --hosts a,b "")"
expect "no second file" "" "$(offered pull amp-left club.kvt "")"
expect "slots 1..20 for recall" "1 10 11 12 13 14 15 16 17 18 19" "$(offered recall amp-left 1)"
expect "slot 1 is not offered to store" "2 20" "$(offered store amp-left 2)"
expect "block addresses for set" "/channel/2/deq/1/comp /channel/2/deq/1/filt /channel/2/deq/1/time" \
    "$(offered set amp-left /channel/2/deq/1/)"
expect "39 blocks in all" "39" "$(offered set amp-left "" | wc -w)"
expect "nothing after discover" "" "$(offered discover "")"

echo "completion: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
