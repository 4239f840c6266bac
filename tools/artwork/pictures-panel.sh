# The main panel's pictures: banner, meter scales, family badges, maker pictures, window icon.
# Sourced by make-artwork.sh, which provides the helpers and colours.

# meterScale NAME TITLE: the 36 x 134 scale between a pair of level meters.
# The panel centres it in a 40 x 140 box that starts 28 pixels above the meters, so its row 0
# lies 25 pixels above the top segment.  A meter has 21 segments on a 5-pixel pitch (3
# lit rows, 2 dark), from 0 dB at the top to -60 dB at the bottom in 3 dB steps; every segment
# gets a tick on both edges, in its middle row, and every second one its level.  The limit or
# clip lamps sit 14 pixels above the meters: the title is centred on their row.
meterScale()
{
    local name=$1 title=$2
    W=36
    local firstSegment=25 pitch=5 lampRow=12
    begin
    local i row len colour
    for (( i = 0; i <= 20; ++i )); do
        row=$(( firstSegment + pitch * i + 1 ))
        if (( i % 2 == 0 )); then len=4; colour=$GREY; else len=2; colour=$DIM; fi
        draw "$colour" none 0 "rectangle 0,$row $(( len - 1 )),$row"
        draw "$colour" none 0 "rectangle $(( W - len )),$row $(( W - 1 )),$row"
        if (( i % 2 == 0 )); then
            if (( i == 0 )); then text "$COND" 9 "$GREY" c 18 "$row" "0"
            else text "$COND" 9 "$GREY" c 18 "$row" "−$(( 3 * i ))"; fi
        fi
    done
    text "$COND_BOLD" 9 "$GREY" c 18 "$lampRow" "$title"
    render 36 134 "$PANEL" "$name" "$PANEL"
}

# plateGradient W H TOP BOTTOM RADIUS: a rounded plate with a vertical gradient, composited
# over the canvas.
plateGradient()
{
    local w=$1 h=$2 top=$3 bottom=$4 r=$5
    op \( -size "${w}x${h}" "gradient:$top-$bottom"
    op \( -size "${w}x${h}" xc:black -fill white -stroke none
    op -draw "roundrectangle 0,0 $(( w - 1 )),$(( h - 1 )) $r,$r" \)
    op -alpha off -compose CopyOpacity -composite \) -compose Over -composite
}

# The banner heads the right-hand column at (740, 15).  Its top half carries the family badge,
# drawn over it by the panel, and the panel's black meter area covers its last three rows, so
# the program name sits in rows 19..27, left of the version label at its lower right.
banner()
{
    W=164
    begin
    plateGradient 164 32 '#5a5a5a' '#151515' 4
    draw '#7c7c7c' none 0 "line 4,1 159,1"
    draw "$AMBER" none 0 "rectangle 6,18 8,27"
    text "$BOLD" 8 "$GREY" l 12 23 "ZR REMOTE CONNECT" 0.6
    render 164 32 "$PANEL" banner "$PANEL"
}

# zrMark SIZE X Y: the maker's mark, an amber tile with a black Z crossed by a trace (a signal
# passing through), drawn at (X, Y) on a SIZE x SIZE square.
zrMark()
{
    local s=$1 x=$2 y=$3
    local k
    k=$(awk "BEGIN { print $s / 32 }")
    # Coordinates on a 32-pixel grid, scaled.
    p() { awk "BEGIN { printf \"%.2f,%.2f\", $x + $1 * $k, $y + $2 * $k }"; }
    op \( -size "${s}x${s}" "gradient:#ffd35c-#e39a12"
    op \( -size "${s}x${s}" xc:black -fill white -stroke none
    op -draw "roundrectangle 0,0 $(( s - 1 )),$(( s - 1 )) $(awk "BEGIN { print 6 * $k }"),$(awk "BEGIN { print 6 * $k }")" \)
    op -alpha off -compose CopyOpacity -composite \) -geometry "+$x+$y" -compose Over -composite
    local width
    width=$(awk "BEGIN { print 3.6 * $k }")
    op -fill none -stroke "$BLACK" -strokewidth "$width"
    op -draw "stroke-linejoin miter stroke-linecap butt polyline $(p 7 8.5) $(p 24.5 8.5) $(p 7.5 23.5) $(p 25 23.5)"
    # A trace through the middle, cutting the diagonal: the signal passing through.
    op -stroke '#f6ae22' -strokewidth "$(awk "BEGIN { print 2.2 * $k }")"
    op -draw "line $(p 4 16) $(p 28 16)"
}

# The window icon: the maker's mark on its own.
windowIcon()
{
    W=32
    begin
    zrMark 32 0 0
    render 32 32 "$PANEL" window_icon "$PANEL"
}

# The ZR family badge, drawn at (778, 15) over the banner's upper half.
zrBadge()
{
    W=90
    begin
    text "$BOLD" 15 "$AMBER" l 4 8 "ZR" 0.5
    text "$SANS" 9 "$GREY" l 34 8 "SERIES" 2.2
    render 90 16 '#4c4c4c' zr_badge '#4c4c4c'
}

# The ZR maker picture, at the foot of the right-hand column (773, 469), on black: the mark and
# the name side by side, centred.
zrPicture()
{
    W=102
    begin
    zrMark 25 17 0
    text "$BOLD" 21 "$AMBER" l 49 12 "ZR" 1
    render 102 25 "$BLACK" zr_logo
}

# The TARVO family badge, drawn at (775, 9): its top rows lie on the grey column, the rest on
# the banner.
tarvoBadge()
{
    W=90
    begin
    text "$BOLD" 16 "$AMBER" c 45 13 "TARVO" 3
    render 90 23 '#454545' tarvo_badge '#454545'
}

# The TARVO picture, at (789, 443) on black: a T in a ring, the name beneath.
tarvoPicture()
{
    W=73
    begin
    op \( -size 73x60 "gradient:#ffd35c-#c98a12"
    op \( -size 73x60 xc:none -fill none -stroke white -strokewidth 3 -draw "circle 36,19 36,36"
    op -fill white -stroke none -draw "rectangle 26,10 46,13" -draw "rectangle 34,10 38,29" \)
    op -compose DstIn -composite \) -compose Over -composite
    text "$BOLD" 11 "$GREY" c 36 49 "TARVO" 2.5
    render 73 60 "$BLACK" tarvo_logo
}

panelPictures()
{
    meterScale output_meter_scale "Limit"
    meterScale input_meter_scale "Clip"
    banner
    windowIcon
    zrBadge
    zrPicture
    tarvoBadge
    tarvoPicture
}
