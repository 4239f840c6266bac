# The response graphs' pictures: frequency and level scales and the numbered handle badges.
# Sourced by make-artwork.sh, which provides the helpers and colours.
#
# The graphs draw a vertical grid line at 20, 30 .. 90, 100, 200 .. 900, 1k .. 9k, 10k and 20k Hz
# and horizontal lines every 10 of their units; the scales put their ticks and labels there.

# freqScale NAME WIDTH HEIGHT OFFSET GRAPHWIDTH SIZE LABELS...: a frequency scale drawn under a
# graph, the graph's left edge OFFSET columns into the picture.  Ticks hang from row 0 at every
# grid line (longer at the labelled ones); labels are centred under their line, the last one
# ends at the right edge if it would not fit.  Only the top 16 rows are visible on the pages.
freqScale()
{
    local name=$1 w=$2 h=$3 offset=$4 gw=$5 size=$6
    shift 6
    W=$w
    begin
    local decade i f x
    for decade in 10 100 1000; do
        for (( i = 1; i <= 9; ++i )); do
            f=$(( decade * i ))
            (( f < 20 )) && continue
            x=$(( offset + $(freqX "$f" "$gw") ))
            draw "$GRID" none 0 "rectangle $x,0 $x,1"
        done
    done
    for f in 10000 20000; do
        x=$(( offset + $(freqX "$f" "$gw") ))
        draw "$GRID" none 0 "rectangle $x,0 $x,1"
    done
    local label value row=$(( size / 2 + 4 ))
    for label in "$@"; do
        value=${label%k}
        [[ $label == *k ]] && value=$(( value * 1000 ))
        x=$(( offset + $(freqX "$value" "$gw") ))
        draw "$GREY" none 0 "rectangle $x,0 $x,2"
        if (( x + 3 * ${#label} + 1 >= w )); then
            text "$COND" "$size" "$GREY" r $(( w - 1 )) "$row" "$label"
        else
            text "$COND" "$size" "$GREY" c "$x" "$row" "$label"
        fi
    done
    render "$w" "$h" "$BLACK" "$name"
}

# levelScale NAME HEIGHT ROW:LABEL...: a 24-wide level scale drawn left of a graph, with a label
# and a short tick near the right edge on each given picture row (the graph's grid lines).
levelScale()
{
    local name=$1 h=$2
    shift 2
    W=24
    begin
    local pair row label
    for pair in "$@"; do
        row=${pair%%:*}
        label=${pair#*:}
        draw "$GRID" none 0 "rectangle 20,$row 22,$row"
        text "$COND" 9 "$GREY" r 18 "$row" "$label"
    done
    render 24 "$h" "$BLACK" "$name"
}

# gridRow H N ORIGIN K: the picture row of grid line K of a graph H pixels high divided into N,
# whose top edge is ORIGIN rows below the picture's top: ORIGIN + trunc(H / N * K).
gridRow() { echo $(( $3 + $1 * $4 / $2 )); }

# The Parametric EQ graph: 660 x 150 at (50, 10), +-20 dB, lines every 5 dB.  Its dB scale is at
# (19, 22), so the graph's top is row -12 and its lines fall on rows 6, 25 .. 119 (+15 .. -15).
peqLevelScale()
{
    local labels=("+15" "+10" "+5" "0" "−5" "−10" "−15") pairs=() k
    for (( k = 1; k <= 7; ++k )); do
        pairs+=("$(gridRow 150 8 -12 "$k"):${labels[k - 1]}")
    done
    levelScale peq_level_scale 127 "${pairs[@]}"
}

# The Filter/Crossover graph: 660 x 150 at (50, 10), +-15 dB, lines every 5 dB.  Its scale is at
# (20, 4): the graph's top is row 6 (+15 dB) and its bottom row 156 (-15 dB).
xoverLevelScale()
{
    local labels=("+15" "+10" "+5" "0" "−5" "−10" "−15") pairs=() k
    for (( k = 0; k <= 6; ++k )); do
        pairs+=("$(gridRow 150 6 6 "$k"):${labels[k]}")
    done
    levelScale xover_level_scale 162 "${pairs[@]}"
}

# The Dynamic EQ graphs: 320 x 150 at (32, 10) and (390, 10), +10 .. -60 dB, a line every 10 dB
# (the first one is the 0 dB line).  Their scales are at (5, 21) and (363, 21): the graph's top
# is row -11 and its lines 0 .. -50 dB fall on rows 10, 31, 53, 74, 96 and 117.
deqLevelScale()
{
    local labels=("0" "−10" "−20" "−30" "−40" "−50") pairs=() k
    for (( k = 1; k <= 6; ++k )); do
        pairs+=("$(gridRow 150 7 -11 "$k"):${labels[k - 1]}")
    done
    levelScale deq_level_scale 127 "${pairs[@]}"
}

# badge N: the 13 x 13 handle badge with the number N, drawn over the graph's black background
# and its curves; the corners stay transparent.
badge()
{
    W=13
    begin
    draw "$AMBER" '#1a1a1a' 1 "circle 6,6 6,0.5"
    text "$BOLD" 9 '#0d0d0d' c 6 6 "$1"   # not pure black: that is the transparent colour
    render 13 13 "$BLACK" "handle_$1" "$BLACK"
}

graphPictures()
{
    # Parametric EQ and Filter/Crossover: 660-wide graphs at x 50, scales at x 43.
    freqScale freq_scale_wide 673 19 7 660 9 20 30 50 100 200 300 500 1k 2k 3k 5k 10k 20k
    # Dynamic EQ: 320-wide graphs, scales 8 columns further left.
    freqScale freq_scale_narrow 334 15 8 320 8 20 50 100 200 500 1k 2k 5k 10k 20k
    peqLevelScale
    xoverLevelScale
    deqLevelScale
    local n
    for (( n = 1; n <= 8; ++n )); do badge "$n"; done
}
