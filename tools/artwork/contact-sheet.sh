#!/usr/bin/env bash
# Builds docs/art.png: the pictures placed where the program draws them (the panel's right-hand
# column for both families, the Configuration page's signal-flow diagrams with their icons, the
# three graph pages' scales around a grid), followed by every GIF on its own.  A check by eye
# that the pictures line up with what is drawn over and beside them.
#
#   tools/artwork/contact-sheet.sh [art-dir] [out.png]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
art=$(cd "${1:-$here/../../src/resources/art}" && pwd)
result=${2:-$here/../../docs/art.png}
IM=${IM:-convert}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

AMBER='#fdbb30'
GREY='#a8a8a8'

# ---------------------------------------------------------------------------------------------
# The right-hand column of the panel (x 730..912), painted in the panel's order, with the
# meters at a few levels so the scale's marks can be compared with their segments.

# meterDraws X Y LEVEL: -draw operations for one 21-segment meter at (X, Y), 14 x 105.
meterDraws()
{
    local x=$1 y=$2 level=$3 i t colour
    printf -- '-fill\n#fdbb3020\n-draw\nrectangle %d,%d %d,%d\n' "$x" "$y" $(( x + 13 )) $(( y + 104 ))
    for (( i = 0; i < 21; ++i )); do
        t=$(( -3 * i ))
        if (( t < level )); then
            if (( i < 3 )); then colour='#fff44f'; else colour=$AMBER; fi
        else
            colour='#000000'
        fi
        printf -- '-fill\n%s\n-draw\nrectangle %d,%d %d,%d\n' "$colour" "$x" $(( y + 5 * i )) $(( x + 13 )) $(( y + 5 * i + 2 ))
    done
}

panelColumn()
{
    local family=$1 result=$2
    local -a a=(-size 912x516 xc:black -stroke none)
    a+=(-fill '#333333' -draw "roundrectangle 735,4 908,511 10,10")
    a+=("$art/banner.gif" -geometry +740+15 -composite)
    a+=(-fill black -draw "rectangle 740,44 903,506")
    a+=(-fill '#333333' -draw "roundrectangle 782,64 861,203 5,5" -draw "roundrectangle 782,240 861,379 5,5")
    a+=("$art/output_meter_scale.gif" -geometry +804+65 -composite)
    a+=("$art/input_meter_scale.gif" -geometry +804+241 -composite)
    if [[ $family == zr ]]; then
        a+=(-fill '#333333' -draw "roundrectangle 752,240 777,379 5,5" -draw "roundrectangle 866,240 891,379 5,5")
        a+=("$art/zr_badge.gif" -geometry +778+15 -composite)
        a+=("$art/zr_logo.gif" -geometry +773+469 -composite)
    else
        a+=("$art/tarvo_badge.gif" -geometry +775+9 -composite)
        a+=("$art/tarvo_logo.gif" -geometry +789+443 -composite)
    fi
    # The child components: groups, labels, meters and lamps.
    local inputsHeight=172
    [[ $family == zr ]] && inputsHeight=226
    a+=(-fill none -stroke '#5c5c5c' -draw "roundrectangle 742,52 901,213 4,4"
        -draw "roundrectangle 742,224 901,$(( 218 + inputsHeight - 1 )) 4,4" -stroke none)
    a+=(-fill "$GREY" -font DejaVu-Sans -pointsize 12 -draw "text 752,56 'Outputs'" -draw "text 752,228 'Inputs'")
    a+=(-font DejaVu-Sans -pointsize 13 -draw "text 871,49 'V1.4'")
    a+=(-font DejaVu-Sans-Bold -pointsize 16 -draw "text 760,79 'A'" -draw "text 872,79 'B'")
    if [[ $family == zr ]]; then
        a+=(-fill '#9f2f2f' -draw "rectangle 755,300 774,308" -draw "rectangle 869,330 888,338")
        a+=(-fill '#333333' -draw "roundrectangle 748,412 795,435 3,3" -draw "roundrectangle 798,412 845,435 3,3"
            -draw "roundrectangle 848,412 895,435 3,3")
        a+=(-fill "$AMBER" -pointsize 11 -draw "text 759,428 'Mute'" -draw "text 811,428 'Link'" -draw "text 859,428 'Mute'")
        a+=(-fill "$GREY" -pointsize 12 -draw "text 762,400 '-12.0'" -draw "text 812,400 'dB'" -draw "text 852,400 '-24.0'")
    else
        a+=(-font DejaVu-Sans-Bold -pointsize 16 -draw "text 760,255 'A'" -draw "text 872,255 'B'")
    fi
    local -a m=()
    mapfile -t m < <(meterDraws 790 90 1; meterDraws 840 90 -7; meterDraws 790 266 -30; meterDraws 840 266 -59)
    a+=("${m[@]}")
    a+=(-fill '#ff0000' -draw "rectangle 790,76 803,78" -fill '#000000' -draw "rectangle 840,76 853,78")
    a+=(-fill '#000000' -draw "rectangle 790,252 803,254" -draw "rectangle 840,252 853,254")
    a+=(-crop 184x516+728+0 +repage)
    "$IM" "${a[@]}" "$result"
}

# ---------------------------------------------------------------------------------------------
# The Configuration page's "Mode" area with each mode's diagram and its icons placed as the page
# places them, some blocks in use and some not.

# icon NAME INUSE X Y: composite operations for one block icon.
icon()
{
    local state=off
    (( $2 )) && state=on
    printf -- '%s\n-geometry\n+%d+%d\n-composite\n' "$art/icon_$1_$state.gif" "$3" "$4"
}

configArea()
{
    local mode=$1 result=$2
    local names=(mode_dual mode_stereo mode_biamp1 mode_biamp2 mode_bridge)
    local titles=("Dual Mono" "Stereo" "Bi-Amp 1" "Bi-Amp 2" "Bridge")
    local -a a=(-size 720x166 xc:black)
    a+=(-fill none -stroke '#5c5c5c' -draw "roundrectangle 4,14 715,159 4,4" -stroke none)
    a+=(-fill "$GREY" -font DejaVu-Sans -pointsize 12 -draw "text 14,19 'Mode'")
    local i
    for (( i = 0; i < 5; ++i )); do
        local fill='#333333' ink=$AMBER
        (( i == mode )) && { fill='#606060'; ink=$GREY; }
        a+=(-fill "$fill" -draw "roundrectangle 20,$(( 24 + 26 * i )) 99,$(( 47 + 26 * i )) 3,3")
        a+=(-fill "$ink" -font DejaVu-Sans -pointsize 11 -gravity NorthWest
            -annotate "+$(( 60 - 3 * ${#titles[i]} ))+$(( 29 + 26 * i ))" "${titles[i]}" +gravity)
    done
    a+=("$art/${names[mode]}.gif" -geometry +120+38 -composite)
    local y0=38 rows=1
    (( mode == 1 )) && y0=63
    (( mode == 0 || mode == 2 || mode == 3 )) && rows=2
    local -a c=()
    if (( mode == 2 || mode == 3 )); then
        mapfile -t c < <(icon biamp_xover 1 199 "$y0")
    elif (( mode == 1 )); then
        mapfile -t c < <(icon xover 1 227 "$y0")
    else
        mapfile -t c < <(icon xover 1 199 "$y0"; (( mode == 0 )) && icon xover 0 199 $(( y0 + 51 )))
    fi
    a+=("${c[@]}")
    local r
    for (( r = 0; r < rows; ++r )); do
        mapfile -t c < <(icon peq $(( r == 0 )) 279 $(( y0 + 51 * r ))
                         icon deq 0 331 $(( y0 + 51 * r ))
                         icon delay "$r" 383 $(( y0 + 51 * r ))
                         icon limiter 1 435 $(( y0 + 51 * r )))
        a+=("${c[@]}")
    done
    "$IM" "${a[@]}" "$result"
}

# ---------------------------------------------------------------------------------------------
# The graph pages' upper parts: grid, scales and handles where the pages put them.

# gridDraws X Y W H KIND: -draw operations for an EQ graph's grid (kinds 0, 1 and 2).
gridDraws()
{
    awk -v X="$1" -v Y="$2" -v w="$3" -v h="$4" -v kind="$5" 'BEGIN {
        range = (kind == 0) ? 40 : (kind == 1 ? 30 : 60)
        vs = (kind == 2) ? 6 / 7 : 0.5
        printf "-fill\n#555555\n-stroke\nnone\n"
        n = split("10 100 1000", decades, " ")
        for (i = 1; i <= 9; ++i)
            for (d = 1; d <= 3; ++d) {
                f = decades[d] * i; r = log(f / 20) / log(1000)
                if (r >= 0 && r <= 1) printf "-draw\nline %d,%d %d,%d\n", X + int(r * w), Y, X + int(r * w), Y + h
            }
        for (f = 10000; f <= 20000; f += 10000) {
            r = log(f / 20) / log(1000)
            printf "-draw\nline %d,%d %d,%d\n", X + int(r * w), Y, X + int(r * w), Y + h
        }
        y0 = (1 - vs) * h
        printf "-draw\nrectangle %d,%.2f %d,%.2f\n", X + 2, Y + y0 - 1, X + w - 2, Y + y0 + 1
        lines = (kind == 2) ? 7 : int(range / 5)
        for (k = 1; k < lines; ++k) printf "-draw\nline %d,%d %d,%d\n", X + 2, Y + int(h / lines * k), X + w - 2, Y + int(h / lines * k)
    }'
}

# handleDraws X Y W H N FREQ: composite operations for handle N at FREQ, with its dotted line.
handleDraws()
{
    awk -v X="$1" -v Y="$2" -v w="$3" -v h="$4" -v n="$5" -v f="$6" -v art="$art" 'BEGIN {
        xd = log(f / 20) / log(1000) * w
        for (y = 17; y < h - 2; y += 2) printf "-fill\n#808080\n-draw\npoint %d,%d\n", X + int(xd), Y + y
        printf "%s/handle_%d.gif\n-geometry\n+%d+%d\n-composite\n", art, n, X + int(xd - 6), Y + 3
    }'
}

graphPage()
{
    local page=$1 result=$2
    local -a a=(-size 720x208 xc:black) m=()
    case $page in
        peq)
            mapfile -t m < <(gridDraws 50 10 660 150 0
                             i=1; for f in 40 100 200 400 1000 2000 4000 10000; do handleDraws 50 10 660 150 $i $f; i=$(( i + 1 )); done)
            a+=("${m[@]}" "$art/peq_level_scale.gif" -geometry +19+22 -composite
                "$art/freq_scale_wide.gif" -geometry +43+160 -composite) ;;
        xover)
            mapfile -t m < <(gridDraws 50 10 660 150 1
                             i=1; for f in 30 630 630 15000; do handleDraws 50 10 660 150 $i $f; i=$(( i + 1 )); done)
            a+=("${m[@]}" "$art/xover_level_scale.gif" -geometry +20+4 -composite
                "$art/freq_scale_wide.gif" -geometry +43+160 -composite) ;;
        deq)
            mapfile -t m < <(gridDraws 32 10 320 150 2; gridDraws 390 10 320 150 2
                             handleDraws 32 10 320 150 1 200; handleDraws 390 10 320 150 2 3000)
            a+=("${m[@]}" "$art/deq_level_scale.gif" -geometry +5+21 -composite
                "$art/deq_level_scale.gif" -geometry +363+21 -composite
                "$art/freq_scale_narrow.gif" -geometry +24+160 -composite
                "$art/freq_scale_narrow.gif" -geometry +382+160 -composite) ;;
    esac
    a+=(-fill '#333333' -stroke none -draw "rectangle 0,176 719,207")
    "$IM" "${a[@]}" "$result"
}

# ---------------------------------------------------------------------------------------------

panelColumn tarvo "$tmp/panel-tarvo.png"
panelColumn zr "$tmp/panel-zr.png"
for (( mode = 0; mode < 5; ++mode )); do configArea "$mode" "$tmp/config-$mode.png"; done
for page in peq xover deq; do graphPage "$page" "$tmp/graph-$page.png"; done

# Every picture on its own, named, on a dark grey so transparent parts show; the wide ones
# two to a row, the small ones twelve.
wide=() small=()
for f in "$art"/*.gif; do
    if (( $("$IM" "$f" -format '%w' info:) > 150 )); then wide+=("$f"); else small+=("$f"); fi
done
montage -background '#202020' -fill "$GREY" -font DejaVu-Sans -pointsize 10 -label '%t %wx%h' \
    "${wide[@]}" -tile 2x -geometry '+8+6' "$tmp/wide.png"
montage -background '#202020' -fill "$GREY" -font DejaVu-Sans -pointsize 10 -label '%t %wx%h' \
    "${small[@]}" -tile 8x -geometry '160x165+0+6>' "$tmp/small.png"
"$IM" -background '#202020' "$tmp/wide.png" "$tmp/small.png" -gravity NorthWest -append "$tmp/all.png"

"$IM" "$tmp/panel-tarvo.png" "$tmp/panel-zr.png" +append "$tmp/panels.png"
"$IM" -background black "$tmp/config-0.png" "$tmp/config-1.png" "$tmp/config-2.png" "$tmp/config-4.png" \
    "$tmp/graph-peq.png" "$tmp/graph-xover.png" "$tmp/graph-deq.png" -append "$tmp/pages.png"
"$IM" -background black "$tmp/panels.png" "$tmp/pages.png" -gravity North +append "$tmp/top.png"
"$IM" -background '#202020' "$tmp/top.png" "$tmp/all.png" -gravity NorthWest -append +repage -depth 8 "$result"
echo "contact sheet written to $result"
