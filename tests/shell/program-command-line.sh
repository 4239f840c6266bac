#!/usr/bin/env bash
# The program's answers that need no window, from the real binary:
#   --version and --help print and end with 0 with no display at all;
#   an unknown option gets a reason and the usage line on standard error, status 2;
#   without a display (DISPLAY unset, or naming one that does not open) the program says in
#   one line that it needs a graphical desktop and which display it tried, status 1.
#
#   program-command-line.sh PROGRAM VERSION
# Runs only inside the private network (the program would broadcast if it got further).
set -uo pipefail
program="$1"
version="$2"
if [ "${ZR_PRIVATE_NETWORK:-}" != "1" ]; then
    echo "skipped: runs only inside scripts/in-private-network.sh"
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect WHAT STATUS [ENV...] -- ARGUMENTS: runs the program with a clean display setting and
# a home of its own, keeps its output in $work/out and $work/err
expect() {
    local what=$1 status=$2
    shift 2
    local env=()
    while [ "$1" != "--" ]; do
        env+=("$1")
        shift
    done
    shift
    env -u DISPLAY -u XDG_RUNTIME_DIR HOME="$work" "${env[@]}" timeout 20 "$program" "$@" > "$work/out" 2> "$work/err"
    local got=$?
    if [ "$got" -ne "$status" ]; then
        echo "FAILED: $what: status $got, wanted $status"
        sed 's/^/  out: /' "$work/out"
        sed 's/^/  err: /' "$work/err"
        failures=$((failures + 1))
        return 1
    fi
}

check() {   # check WHAT CONDITION...: one more condition on the last run
    local what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        sed 's/^/  out: /' "$work/out"
        sed 's/^/  err: /' "$work/err"
        failures=$((failures + 1))
    fi
}

lines() { wc -l < "$1"; }

if expect "--version without a display" 0 -- --version; then
    check "--version prints the name and version" [ "$(cat "$work/out")" = "ZR Remote Connect $version" ]
    check "--version prints nothing on standard error" [ ! -s "$work/err" ]
fi

if expect "--help without a display" 0 -- --help; then
    check "--help names the preset file and the phone remote" \
        grep -q -- "--remote\[=PORT\].*phone remote" "$work/out"
    check "--help prints nothing on standard error" [ ! -s "$work/err" ]
fi

if expect "an unknown option" 2 -- --no-such-option; then
    check "a refused call prints nothing on standard output" [ ! -s "$work/out" ]
    check "the reason names the option" grep -q "unknown option --no-such-option" "$work/err"
    check "the usage line follows" grep -q "^usage: zr-remote-connect " "$work/err"
fi

if expect "no display set" 1 -- "$work/rig.kvt"; then
    check "one line on standard error" [ "$(lines "$work/err")" -eq 1 ]
    check "it says a graphical desktop is needed and that DISPLAY is not set" \
        grep -q "needs a graphical desktop.*DISPLAY is empty" "$work/err"
fi

if expect "a display that does not open" 1 DISPLAY=:4711 -- ; then
    check "one line on standard error" [ "$(lines "$work/err")" -eq 1 ]
    check "it names the display it tried" grep -q 'needs a graphical desktop.*":4711"' "$work/err"
fi

# Nothing was left in the home folder: no lock, no socket, no settings.
check "no files were made" [ -z "$(ls -A "$work" | grep -v -x -e out -e err)" ]

if [ "$failures" -eq 0 ]; then
    echo "program command line: all checks passed"
fi
[ "$failures" -eq 0 ]
