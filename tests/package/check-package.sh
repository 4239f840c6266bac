#!/usr/bin/env bash
# Checks the Debian package as a user would meet it:
#   - lintian reports no errors; the desktop entry, the AppStream metainfo and the MIME type
#     it installs are valid and agree (check-metadata.sh), and the zr-ctl completion loads
#     and completes (check-completion.sh);
#   - on a fresh Debian 12 root made here (debootstrap), the package installs with the
#     dependencies it declares, the manual pages read, `zr-ctl` answers and its completion
#     loads in the root's bash, the program answers --version without a display, starts
#     from the desktop entry's Exec line with a preset file under Xvfb in a private network
#     namespace and shows its window, a second start hands its file over and ends with 0,
#     and purging the package leaves nothing of it behind.
# Where no root can be made (no debootstrap, no registry, not root), the package is installed
# and purged on this machine instead.
#
#   tests/package/check-package.sh PACKAGE.deb
# Prints one line per check and "package: N passed, M failed" last; exits 1 on a failure.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
deb="$(realpath "$1")"
app_id=org.example.zr_remote_connect
entry=/usr/share/applications/$app_id.desktop
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

contents() {   # the package's files, unpacked once
    [ -d "$work/contents" ] || dpkg-deb -x "$deb" "$work/contents"
}

desktop_files_valid() {
    contents &&
        "$here/check-metadata.sh" "$work/contents$entry" \
            "$work/contents/usr/share/metainfo/$app_id.metainfo.xml" \
            "$work/contents/usr/share/mime/packages/zr-remote-connect.xml" \
            "$work/contents/usr/share/doc/zr-remote-connect/copyright" \
            "$(dpkg-deb -f "$deb" Version)"
}

completion_completes() {
    contents && "$here/check-completion.sh" "$work/contents/usr/share/bash-completion/completions/zr-ctl"
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
# folders, where the program ran with a home of its own (its lock and socket are kept there).
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

# The command-line tool runs from its installed place: its help, and a bad call refused;
# its completion loads in the bash there (no bash-completion package on a minimal root).
command_line_tool_runs() {
    in_target zr-ctl --help | grep -q "discover" &&
        { in_target zr-ctl no-such-command > /dev/null 2>&1; [ $? -eq 2 ]; } &&
        in_target bash -c '. /usr/share/bash-completion/completions/zr-ctl && complete -p zr-ctl'
}

# Runs the shell script on standard input in a network namespace of its own (the program
# broadcasts once it gets going), on the root the package is tried on.
run_privately() {
    local script="$work/private.sh"
    [ -z "$target" ] || script="$target/tmp/private.sh"
    cat > "$script"
    if [ -n "$target" ]; then
        unshare --net --mount --propagation private -- sh -c \
            "mount -t proc proc '$target/proc' && chroot '$target' /usr/bin/env -i PATH=/usr/bin:/bin:/usr/sbin:/sbin sh /tmp/private.sh"
    else
        unshare --net -- sh "$script"
    fi
    local status=$?
    rm -f "$script"
    return $status
}

# With no display the program only answers: --version prints, a start says why it cannot.
answers_without_a_display() {
    run_privately << 'EOF'
ip link set lo up
unset DISPLAY
version="$(zr-remote-connect --version)" || exit 1
echo "$version" | grep -qx "ZR Remote Connect [0-9.]*" || exit 1
zr-remote-connect 2> /tmp/no-display.txt
status=$?
grep -q "needs a graphical desktop" /tmp/no-display.txt || status=9
rm -f /tmp/no-display.txt
[ $status -eq 1 ]
EOF
}

# Starts the command of the installed desktop entry's Exec line, with a preset file for its
# %f, on a virtual display in a network namespace of its own (the program broadcasts at
# start-up), and waits for its window; a second start with the file hands it over to that
# window and ends by itself with 0.
starts_from_desktop_entry() {
    local exec_line
    exec_line="$(in_target sed -n 's/^Exec=//p' "$entry")"
    case "$exec_line" in *%f*) ;; *) echo "Exec takes no file: $exec_line"; return 1 ;; esac
    exec_line="$(echo "$exec_line" | sed 's#%f#/tmp/zr-home/stage.kvt#')"
    run_privately << EOF
ip link set lo up
mkdir -p /tmp/zr-home
printf 'Stage\\r\\nBEGIN_OSC_DATA\\r\\n/ampmode s STEREO\\r\\nEND_OSC_DATA' > /tmp/zr-home/stage.kvt
Xvfb :71 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=\$!
export DISPLAY=:71 HOME=/tmp/zr-home
for i in \$(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.2; done
$exec_line > /tmp/zr-home/program.log 2>&1 &
program=\$!
found=1
for i in \$(seq 75); do
    if xdotool search --onlyvisible --name '^\\[not connected!\\]\$' > /dev/null 2>&1; then found=0; break; fi
    sleep 0.2
done
if [ \$found -eq 0 ]; then
    timeout 20 $exec_line > /tmp/zr-home/second.log 2>&1 || { echo "the second start failed"; found=1; }
    windows=\$(xdotool search --onlyvisible --name '^\\[not connected!\\]\$' | wc -l)
    [ "\$windows" -eq 1 ] || { echo "\$windows windows"; found=1; }
fi
kill \$program 2> /dev/null; wait \$program 2> /dev/null
kill \$xvfb; wait \$xvfb 2> /dev/null
cat /tmp/zr-home/*.log
rm -rf /tmp/zr-home
exit \$found
EOF
}

# On the fresh root everything the package brought goes with it, its dependencies included;
# on this machine only the package is purged, and none of its files may remain.
purge_leaves_nothing() {
    if [ -n "$target" ]; then
        rm -f "$target/tmp/$(basename "$deb")"
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
check "desktop entry, metainfo, MIME type and copyright are valid" desktop_files_valid
check "the zr-ctl completion completes" completion_completes

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
    check "the command-line tool and its completion run" command_line_tool_runs
    check "the program answers without a display" answers_without_a_display
    check "the program starts from its desktop entry with a file and takes a second start's" \
        starts_from_desktop_entry
    check "purging leaves nothing behind" purge_leaves_nothing
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
