# The Configuration page's pictures: a signal-flow diagram per amplifier mode (580 x 99) and the
# 50 x 48 block icons that the page draws over it, each in an in-use and a not-in-use form.
# Sourced by make-artwork.sh, which provides the helpers and colours.
#
# The page draws a diagram at (120, 38) and the icons at fixed places over it; in picture
# coordinates the slots are:
#   crossover x 79 (x 107 in Stereo), PEQ x 159, DEQ x 211, delay x 263, limiter x 315 (to 364);
#   rows y 0..47 (channel A) and 51..98 (channel B), or one row y 25..72 in Stereo.
# The diagrams draw the connections between the slots and leave the slots themselves empty.

FLOW='#8c8c8c'

XO=79
XO_STEREO=107
PEQ=159
LIMIT_END=365
ROW_A=23      # a connection is two rows thick: 23-24 for channel A,
ROW_B=74      # 74-75 for channel B
ROW_STEREO=48 # and 48-49 for the single Stereo row

# ---------------------------------------------------------------------------------------------
# Block icons.

# blockIcon NAME LABEL INUSE GRAPHIC...: the frame, the drawing (MVG primitives stroked in the
# foreground colour) and the label.
blockIcon()
{
    local name=$1 label=$2 inUse=$3
    shift 3
    local frame fg bg textColour suffix
    if (( inUse )); then
        frame=$AMBER; fg=$AMBER; bg='#2b2313'; textColour=$AMBER; suffix=on
    else
        frame='#4a4a4a'; fg='#6a6a6a'; bg='#161616'; textColour='#7a7a7a'; suffix=off
    fi
    W=50
    begin
    draw "$bg" "$frame" 1 "roundrectangle 0.5,0.5 48.5,46.5 5,5"
    local primitive
    for primitive in "$@"; do
        case $primitive in
            dim:*) draw none "$frame" 1 "${primitive#dim:}" ;;
            fill:*) draw "$fg" none 0 "${primitive#fill:}" ;;
            *) draw none "$fg" 2 "$primitive" ;;
        esac
    done
    text "$COND_BOLD" 8 "$textColour" c 24 38 "$label" 0.6
    render 50 48 "$BLACK" "icon_${name}_$suffix"
}

blockIcons()
{
    local s
    for s in 1 0; do
        # Two bells, one up and one down, over the flat response.
        blockIcon peq "PEQ" $s "dim:line 6,21 43,21" \
            "path 'M 6,21 C 12,21 13,7 18,7 C 23,7 24,21 29,21 C 33,21 34,27 37,27 C 40,27 41,21 43,21'"
        # A bell whose height follows the level: the loud-signal shape dashed over the quiet one.
        blockIcon deq "DEQ" $s "dim:line 6,24 43,24" \
            "path 'M 6,24 C 14,24 17,17 24.5,17 C 32,17 35,24 43,24'" \
            "dim:stroke-dasharray 2 2 path 'M 6,24 C 13,24 16,6 24.5,6 C 33,6 36,24 43,24'" \
            "fill:polygon 21.5,12 27.5,12 24.5,8.5"
        # A clock.
        blockIcon delay "DELAY" $s "circle 24.5,17 24.5,7" \
            "line 24.5,17 24.5,10" "line 24.5,17 29.5,20"
        # The transfer curve bending flat at the ceiling; the unlimited line dashed.
        blockIcon limiter "LIMIT" $s "dim:line 8,28 42,28" "dim:line 8,28 8,5" \
            "dim:stroke-dasharray 2 2 line 24,12 33,3" \
            "polyline 8,28 24,12 42,12"
        # The channel's band: a high-pass and a low-pass slope around a flat top.
        blockIcon xover "X-OVER" $s "dim:line 6,27 43,27" \
            "path 'M 6,27 C 11,27 12,11 17,11 L 32,11 C 37,11 38,27 43,27'"
        # Two outputs: the low band and the high band crossing.
        blockIcon biamp_xover "X-OVER" $s "dim:line 6,27 43,27" \
            "path 'M 6,11 L 17,11 C 23,11 26,27 32,27'" \
            "path 'M 17,27 C 23,27 26,11 32,11 L 43,11'"
    done
}

# ---------------------------------------------------------------------------------------------
# Diagram parts.  Connections are two pixels thick; ROW is the upper of the two rows.

# hline X1 X2 ROW: a connection from column X1 to X2.
hline() { draw "$FLOW" none 0 "rectangle $1,$3 $2,$(( $3 + 1 ))"; }

# vline X ROW1 ROW2: a vertical connection two columns wide, X and X+1.
vline() { draw "$FLOW" none 0 "rectangle $1,$2 $(( $1 + 1 )),$3"; }

# arrow X ROW: an arrowhead whose tip touches column X.
arrow()
{
    local x=$1 c
    c=$(awk "BEGIN { print $2 + 0.5 }")
    draw "$FLOW" none 0 "polygon $(( x - 6 )),$(awk "BEGIN { print $c - 4 }") $x,$c $(( x - 6 )),$(awk "BEGIN { print $c + 4 }")"
}

# feed X1 X2 ROW: a connection ending in an arrow at X2.
feed() { hline "$1" $(( $2 - 3 )) "$3"; arrow "$2" "$3"; }

# input LABEL ROW X: an input socket and its label at the left, feeding the block at X.
input()
{
    text "$COND_BOLD" 9 "$GREY" l 2 "$2" "$1" 0.4
    draw none "$FLOW" 1.5 "circle 33,$(awk "BEGIN { print $2 + 0.5 }") 33,$(awk "BEGIN { print $2 - 2.5 }")"
    feed 37 $(( $3 - 1 )) "$2"
}

# amp X ROW LETTER: a power amplifier stage, a triangle 22 wide from X.
amp()
{
    local x=$1 c
    c=$(awk "BEGIN { print $2 + 0.5 }")
    draw '#1c1c1c' "$GREY" 1.5 "polygon $x,$(awk "BEGIN { print $c - 11 }") $(( x + 22 )),$c $x,$(awk "BEGIN { print $c + 11 }")"
    text "$COND_BOLD" 8 "$GREY" l $(( x + 3 )) "$2" "$3"
}

# speaker X ROW SIZE: a loudspeaker, its magnet at X, cone SIZE pixels high.
speaker()
{
    local x=$1 c=$2.5 half=$(( $3 / 2 ))
    draw '#1c1c1c' "$GREY" 1.5 "rectangle $x,$(( $2 - 4 )).5 $(( x + 5 )),$(( $2 + 5 )).5"
    draw '#1c1c1c' "$GREY" 1.5 "polygon $(( x + 5 )),$(( $2 - 4 )).5 $(( x + 15 )),$(( $2 - half )).5 $(( x + 15 )),$(( $2 + 1 + half )).5 $(( x + 5 )),$(( $2 + 5 )).5"
}

# output ROW LETTER LABEL [SIZE]: from the limiter's slot to an amplifier and a speaker.
output()
{
    local row=$1 size=${4:-18}
    feed "$LIMIT_END" 384 "$row"
    amp 385 "$row" "$2"
    hline 407 421 "$row"
    speaker 422 "$row" "$size"
    text "$COND_BOLD" 9 "$GREY" l 448 "$row" "$3" 0.4
}

# chain ROW XO: the connections of one row: into the crossover slot at XO from the left, from the
# crossover to the PEQ slot, and along the four slots to the limiter.
chain()
{
    feed $(( $2 + 50 )) "$PEQ" "$1"
    hline "$PEQ" "$LIMIT_END" "$1"
}

caption() { text "$COND_BOLD" 8 "$DIM" r 578 5 "$1" 1; }

# ---------------------------------------------------------------------------------------------
# The five diagrams.

modeDual()
{
    W=580
    begin
    input "IN A" "$ROW_A" "$XO"
    input "IN B" "$ROW_B" "$XO"
    chain "$ROW_A" "$XO"
    chain "$ROW_B" "$XO"
    output "$ROW_A" A "OUT A"
    output "$ROW_B" B "OUT B"
    caption "DUAL MONO"
    render 580 99 "$BLACK" mode_dual
}

# Both inputs run through the one row of settings, as a pair of connections.
modeStereo()
{
    W=580
    begin
    local upper=$(( ROW_STEREO - 3 )) lower=$(( ROW_STEREO + 3 ))
    text "$COND_BOLD" 9 "$GREY" l 2 "$ROW_A" "IN A" 0.4
    text "$COND_BOLD" 9 "$GREY" l 2 "$ROW_B" "IN B" 0.4
    draw none "$FLOW" 1.5 "circle 33,23.5 33,20.5"
    draw none "$FLOW" 1.5 "circle 33,74.5 33,71.5"
    hline 37 70 "$ROW_A"
    hline 37 70 "$ROW_B"
    draw none "$FLOW" 2 "line 70,24 86,$(( upper + 1 ))"
    draw none "$FLOW" 2 "line 70,75 86,$(( lower + 1 ))"
    hline 86 $(( XO_STEREO - 4 )) "$upper"
    hline 86 $(( XO_STEREO - 4 )) "$lower"
    arrow $(( XO_STEREO - 1 )) "$upper"
    arrow $(( XO_STEREO - 1 )) "$lower"
    hline $(( XO_STEREO + 50 )) "$LIMIT_END" "$upper"
    hline $(( XO_STEREO + 50 )) "$LIMIT_END" "$lower"
    draw none "$FLOW" 2 "line 365,$(( upper + 1 )) 375,24"
    draw none "$FLOW" 2 "line 365,$(( lower + 1 )) 375,75"
    feed 375 384 "$ROW_A"
    feed 375 384 "$ROW_B"
    amp 385 "$ROW_A" A
    amp 385 "$ROW_B" B
    local row
    for row in "$ROW_A" "$ROW_B"; do
        hline 407 421 "$row"
        speaker 422 "$row" 18
    done
    text "$COND_BOLD" 9 "$GREY" l 448 "$ROW_A" "OUT A" 0.4
    text "$COND_BOLD" 9 "$GREY" l 448 "$ROW_B" "OUT B" 0.4
    text "$COND_BOLD" 8 "$DIM" c 236 14 "CHANNEL A+B" 1
    caption "STEREO"
    render 580 99 "$BLACK" mode_stereo
}

# One input split by the crossover: the low band to channel A, the high band to channel B.
modeBiamp()
{
    local name=$1 title=$2
    W=580
    begin
    input "IN A" "$ROW_A" "$XO"
    chain "$ROW_A" "$XO"
    vline 133 "$ROW_A" $(( ROW_B + 1 ))
    feed 133 "$PEQ" "$ROW_B"
    hline "$PEQ" "$LIMIT_END" "$ROW_B"
    text "$COND_BOLD" 7 "$DIM" c 145 13 "LOW" 0.5
    text "$COND_BOLD" 7 "$DIM" c 146 64 "HIGH" 0.5
    output "$ROW_A" A "OUT A  LOW" 22
    output "$ROW_B" B "OUT B  HIGH" 12
    caption "$title"
    render 580 99 "$BLACK" "$name"
}

# One row drives both amplifiers, channel B inverted, with the speaker across their outputs.
modeBridge()
{
    W=580
    begin
    input "IN A" "$ROW_A" "$XO"
    chain "$ROW_A" "$XO"
    hline "$LIMIT_END" 371 "$ROW_A"
    vline 370 "$ROW_A" $(( ROW_B + 1 ))
    feed 370 379 "$ROW_B"
    feed 371 384 "$ROW_A"
    amp 385 "$ROW_A" A
    amp 385 "$ROW_B" B
    # The inverting input of channel B.
    draw '#1c1c1c' "$GREY" 1.5 "circle 382.5,75 382.5,72.5"
    text "$COND_BOLD" 7 "$DIM" c 396 93 "180°" 0.3
    hline 407 420 "$ROW_A"
    hline 407 420 "$ROW_B"
    vline 419 "$ROW_A" 44
    vline 419 54 $(( ROW_B + 1 ))
    hline 419 429 43
    hline 419 429 54
    draw '#1c1c1c' "$GREY" 1.5 "rectangle 430,40.5 437,57.5"
    draw '#1c1c1c' "$GREY" 1.5 "polygon 437,40.5 450,30.5 450,67.5 437,57.5"
    text "$COND_BOLD" 9 "$GREY" l 458 49 "BRIDGED OUT" 0.4
    caption "BRIDGE"
    render 580 99 "$BLACK" mode_bridge
}

configPictures()
{
    blockIcons
    modeDual
    modeStereo
    modeBiamp mode_biamp1 "BI-AMP 1"
    modeBiamp mode_biamp2 "BI-AMP 2"
    modeBridge
}
