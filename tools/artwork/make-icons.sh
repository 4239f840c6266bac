#!/usr/bin/env bash
# Draws the program's desktop icon, the maker's mark of the window icon, at the sizes desktops
# look for, as PNG files in the hicolor layout under packaging/icons/ (or the folder given as
# the first argument).  The mark is drawn at each size rather than scaled from the 32-pixel
# window icon, so the small sizes stay crisp and the large ones smooth.
#
#   tools/artwork/make-icons.sh [out-dir]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../packaging/icons}
IM=${IM:-convert}
command -v "$IM" > /dev/null || { echo "ImageMagick 'convert' is needed" >&2; exit 1; }

# What the mark's drawing function needs from make-artwork.sh.
BLACK='#000000'
ops=()
op() { ops+=("$@"); }
source "$here/pictures-panel.sh"

for size in 16 22 24 32 48 64 128 256; do
    folder="$out/hicolor/${size}x${size}/apps"
    mkdir -p "$folder"
    ops=()
    zrMark "$size" 0 0
    "$IM" -size "${size}x${size}" xc:none "${ops[@]}" -strip "PNG32:$folder/zr-remote-connect.png"
done
echo "icons written to $out"
