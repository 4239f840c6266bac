#!/usr/bin/env bash
# Draws every picture of the program and writes it as a GIF to src/resources/art/ (or to the
# folder given as the first argument).  The output depends only on this script, ImageMagick 6
# and the DejaVu Sans fonts, so running it again reproduces the committed files byte for byte.
#
#   tools/artwork/make-artwork.sh [out-dir]
#
# Positions inside the pictures follow what the program draws over or beside them: the meter
# scales' marks sit on the meters' segment rows, the graph scales' labels on the graphs' grid
# lines and the block icons on the signal-flow diagrams' slots.  Each function says which.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../src/resources/art}
mkdir -p "$out"
out=$(cd "$out" && pwd)
# The folder holds exactly the pictures made here: a picture dropped from this script goes too.
rm -f "$out"/*.gif

# ImageMagick 6's convert (IM=/path/to/convert to choose another).
IM=${IM:-convert}
command -v "$IM" > /dev/null || { echo "ImageMagick 'convert' is needed" >&2; exit 1; }

# The panel's colours.
AMBER='#fdbb30'
GREY='#a8a8a8'
DIM='#6e6e6e'
PANEL='#333333'
GRID='#555555'
BLACK='#000000'

# Fonts by file, so a missing face stops the script instead of falling back to another font
# (the condensed faces come with fonts-dejavu-extra).
fonts=/usr/share/fonts/truetype/dejavu
SANS=$fonts/DejaVuSans.ttf
BOLD=$fonts/DejaVuSans-Bold.ttf
COND=$fonts/DejaVuSansCondensed.ttf
COND_BOLD=$fonts/DejaVuSansCondensed-Bold.ttf
for font in "$SANS" "$BOLD" "$COND" "$COND_BOLD"; do
    [[ -f $font ]] || { echo "missing $font (fonts-dejavu-core, fonts-dejavu-extra)" >&2; exit 1; }
done

# ---------------------------------------------------------------------------------------------
# Drawing helpers.  A picture is built as a list of ImageMagick operations in the array `ops`
# and rendered once by `render`.

ops=()

# begin: starts a new picture.
begin() { ops=(); }

# op ARGS...: appends raw ImageMagick operations.
op() { ops+=("$@"); }

# draw FILL STROKE WIDTH PRIMITIVE: one -draw primitive ("none" for no fill or no stroke).
draw()
{
    ops+=(-fill "$1" -stroke "$2" -strokewidth "$3" -draw "$4")
}

declare -A capTop capHeight

# metrics FONT SIZE: measures where the ink of a capital starts below the annotate offset and
# how tall it is, so text can be centred on a pixel row exactly.
metrics()
{
    local key="$1/$2"
    [[ -n "${capTop[$key]:-}" ]] && return
    local g
    g=$("$IM" -size 200x100 xc:black -fill white -font "$1" -pointsize "$2" -gravity NorthWest \
            -annotate +0+0 'H' -format '%@' info:)
    # g is WxH+X+Y
    local h=${g#*x}; h=${h%%+*}
    local y=${g##*+}
    capTop[$key]=$y
    capHeight[$key]=$h
}

# text FONT SIZE COLOUR ALIGN X ROW TEXT [KERNING]: writes TEXT with the middle of its capitals
# on pixel row ROW.  ALIGN is l (ink starts near X), c (centred on X) or r (ink ends at X).
# Needs the picture width in W.
text()
{
    local font=$1 size=$2 colour=$3 align=$4 x=$5 row=$6 str=$7 kern=${8:-0}
    metrics "$font" "$size"
    local key="$font/$size"
    local y=$(( row - capTop[$key] - (capHeight[$key] - 1) / 2 ))
    local gravity dx
    case $align in
        l) gravity=NorthWest; dx=$x ;;
        c) gravity=North; dx=$(( x - W / 2 + 1 )) ;;
        r) gravity=NorthEast; dx=$(( W - 1 - x )) ;;
    esac
    local sx=+ sy=+
    (( dx < 0 )) && { sx=-; dx=$(( -dx )); }
    (( y < 0 )) && { sy=-; y=$(( -y )); }
    ops+=(-stroke none -fill "$colour" -font "$font" -pointsize "$size" -kerning "$kern"
          -gravity "$gravity" -annotate "${sx}${dx}${sy}${y}" "$str" +gravity -kerning 0)
}

# render W H BACKGROUND NAME [TRANSPARENT]: draws `ops` on a WxH canvas and writes NAME.gif.
# With TRANSPARENT given (normally the background), pixels of exactly that colour become
# transparent before the colours are reduced; edges stay smoothed against it, which suits what
# the picture is drawn over.  Nothing else in such a picture may use that exact colour.
render()
{
    local w=$1 h=$2 bg=$3 name=$4 clear=${5:-}
    local args=(-size "${w}x${h}" "xc:$bg" "${ops[@]}" +repage -alpha off)
    [[ -n "$clear" ]] && args+=(-alpha set -transparent "$clear")
    args+=(+dither -colors 255)
    "$IM" "${args[@]}" -strip "GIF:$out/$name.gif"
    local got
    got=$("$IM" "$out/$name.gif" -format '%wx%h' info:)
    [[ "$got" == "${w}x${h}" ]] || { echo "$name: made $got, wanted ${w}x${h}" >&2; exit 1; }
}

# fx EXPRESSION: floating-point arithmetic (awk), printed as a whole number (truncated).
fx() { awk "BEGIN { v = $1; printf \"%d\", (v < 0 ? -int(-v) : int(v)) }"; }

# freqX F WIDTH: the graph's column of frequency F on a graph WIDTH pixels wide (20 Hz .. 20 kHz).
freqX() { fx "log($1 / 20) / log(1000) * $2"; }

source "$here/pictures-panel.sh"
source "$here/pictures-graphs.sh"
source "$here/pictures-config.sh"

panelPictures
graphPictures
configPictures

echo "artwork written to $out"
