#!/usr/bin/env bash
# Builds the program and makes its Debian package, build/packages/zr-remote-connect_*.deb.
#   scripts/package.sh [build folder]
# Install it with `sudo apt install ./build/packages/zr-remote-connect_*.deb`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="${1:-$root/build}"

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$folder"
rm -f "$folder"/packages/*.deb
(cd "$folder" && cpack -G DEB > cpack.log) || { cat "$folder/cpack.log" >&2; exit 1; }
ls "$folder"/packages/*.deb
