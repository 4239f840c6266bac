#!/usr/bin/env bash
# Checks the Debian package as a user would meet it:
#   - lintian and desktop-file-validate report no errors;
#   - on a fresh Debian 12 root made here (debootstrap), the package installs with the
#     dependencies it declares, the manual pages read, `zr-ctl` answers, the program
#     starts from the desktop entry's Exec line under Xvfb in a private network namespace and
#     shows its window, and purging the package leaves nothing of it behind.
# Where no root can be made (no debootstrap, no registry, not root), the package is installed
# and purged on this machine instead.
#
#   tests/package/check-package.sh PACKAGE.deb
# Prints one line per check and "package: N passed, M failed" last; exits 1 on a failure.
set -uo pipefail

deb="$(realpath "$1")"
work="$(mktemp -d /tmp/zr-package-XXXXXX)"
target=""   # the root the package is tried on: "$work/root", or "" for this machine
passed=0
failed=0

check() {   # check WHAT COMMAND...: runs a check and counts it
    local what=$1
    shift
    if "$@" > "$work/check.log" 2>&1; then
        echo "package check: $what: ok"
        passed=$((passed + 1))
    else
        echo "package check: $what: FAILED"
        tail -n 30 "$work/check.log"
        failed=$((failed + 1))
    fi
}

cleanup() {
    rm -rf "$work"
}
trap cleanup EXIT

in_target() {   # runs a command on the machine the package is tried on
    if [ -n "$target" ]; then
        chroot "$target" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"
    else
        "$@"
    fi
}

# --- the package file itself -------------------------------------------------------------
lintian_clean() {
    lintian --fail-on error --display-level '>=warning' "$deb"
}

desktop_entry_valid() {
    dpkg-deb -x "$deb" "$work/contents" &&
        desktop-file-validate "$work/contents/usr/share/applications/zr-remote-connect.desktop"
}

# --- a root to install it on ---------------------------------------------------------------
mirror() {
    awk '/^URIs:/ { print $2; exit } /^deb / { print $2; exit }' \
        /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list 2>/dev/null
}

make_fresh_root() {
    local url
    url="$(mirror)"
    debootstrap --variant=minbase \
        --include=xvfb,xauth,x11-utils,xdotool,man-db,iproute2,procps \
        bookworm "$work/root" "${url:-http://deb.debian.org/debian}" &&
        chroot "$work/root" apt-get update -qq
}

# Every file on the root that a package may leave behind, without the ones that change
# anyway (caches, logs, package lists, the package manager's own records) and the temporary
# folders, where the program that ran keeps its one-instance lock.
file_list() {
    in_target find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /var/tmp -o -path /run \
        -o -path /var/cache -o -path /var/log -o -path /var/lib/apt -o -path /var/lib/dpkg \
        -o -path /root \) -prune -o -print | sort
}

install_package() {
    if [ -n "$target" ]; then
        cp "$deb" "$target/tmp/" &&
            in_target env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
                "/tmp/$(basename "$deb")"
    else
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb"
    fi
}

manual_pages_read() {
    in_target man -P cat zr-ampsim | grep -q "simulated amplifier" &&
        in_target man -P cat zr-remote-connect | grep -q "remote control and editor" &&
        in_target man -P cat zr-ctl | grep -q "zr-ctl"
}

# The command-line tool runs from its installed place: its help, and a bad call refused.
command_line_tool_runs() {
    in_target zr-ctl --help | grep -q "discover" &&
        { in_target zr-ctl no-such-command > /dev/null 2>&1; [ $? -eq 2 ]; }
}

# Starts the command of the installed desktop entry's Exec line on a virtual display, in a
# network namespace of its own (the program broadcasts at start-up), and waits for its window.
starts_from_desktop_entry() {
    local exec_line
    exec_line="$(in_target sed -n 's/^Exec=//p' /usr/share/applications/zr-remote-connect.desktop)"
    [ -n "$exec_line" ] || return 1
    local script="$work/start.sh"
    [ -z "$target" ] || script="$target/tmp/start.sh"
    cat > "$script" << EOF
ip link set lo up
mkdir -p /tmp/zr-home
Xvfb :71 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=\$!
export DISPLAY=:71 HOME=/tmp/zr-home
for i in \$(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.2; done
$exec_line > /tmp/zr-home/program.log 2>&1 &
program=\$!
found=1
for i in \$(seq 75); do
    if xdotool search --onlyvisible --name '^\[not connected!\]\$' > /dev/null 2>&1; then found=0; break; fi
    sleep 0.2
done
kill \$program 2> /dev/null; wait \$program 2> /dev/null
kill \$xvfb; wait \$xvfb 2> /dev/null
rm -rf /tmp/zr-home
exit \$found
EOF
    if [ -n "$target" ]; then
        unshare --net --mount --propagation private -- sh -c \
            "mount -t proc proc '$target/proc' && chroot '$target' /usr/bin/env -i PATH=/usr/bin:/bin:/usr/sbin:/sbin sh /tmp/start.sh"
    else
        unshare --net -- sh "$script"
    fi
}

# On the fresh root everything the package brought goes with it, its dependencies included;
# on this machine only the package is purged, and none of its files may remain.
purge_leaves_nothing() {
    if [ -n "$target" ]; then
        rm -f "$target/tmp/start.sh" "$target/tmp/$(basename "$deb")"
        in_target env DEBIAN_FRONTEND=noninteractive apt-get purge -y --autoremove zr-remote-connect &&
            file_list > "$work/after" &&
            diff "$work/before" "$work/after"
    else
        local files
        files="$(dpkg-query -L zr-remote-connect | while read -r f; do [ -d "$f" ] || echo "$f"; done)"
        DEBIAN_FRONTEND=noninteractive apt-get purge -y zr-remote-connect || return 1
        local left=0
        for f in $files; do
            [ -e "$f" ] && { echo "left behind: $f"; left=1; }
        done
        return $left
    fi
}

check "lintian reports no errors" lintian_clean
check "desktop entry is valid" desktop_entry_valid

if [ "$(id -u)" -ne 0 ]; then
    echo "package check: installing needs root; the install checks are skipped"
else
    if command -v debootstrap > /dev/null && make_fresh_root > "$work/debootstrap.log" 2>&1; then
        target="$work/root"
        echo "package check: trying the package on a fresh Debian 12 root"
    else
        tail -n 5 "$work/debootstrap.log" 2> /dev/null
        echo "package check: no fresh root could be made; trying the package on this machine"
        dpkg -s zr-remote-connect > /dev/null 2>&1 && apt-get purge -y zr-remote-connect > /dev/null
    fi
    [ -z "$target" ] || file_list > "$work/before"
    check "installs with its dependencies" install_package
    check "manual pages read" manual_pages_read
    check "the command-line tool runs" command_line_tool_runs
    check "the program starts from its desktop entry" starts_from_desktop_entry
    check "purging leaves nothing behind" purge_leaves_nothing
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
