#!/usr/bin/env bash
# Makes the pictures of the help book from the program as built: runs it unattended on the benches of
# docs/help/benches/ (--screenshot, or driven with xdotool for the windows that start-up does not show),
# then crops and annotates what each page shows. The build calls it; by hand:
#
#   docs/help/make-pictures.sh BIN_DIR OUT_DIR
#
# BIN_DIR holds rqk4712v-sfp, libvisa-sim.so and librqk4712v_32.so; the pictures are written to OUT_DIR.
# The program needs X. Where Xvfb is installed, the runs happen on private virtual displays (started by
# tests/support/own-display, which lets the server pick a free display number, so nothing races with
# the virtual displays of tests running at the same time): the pictures never depend on the desktop,
# theme or window manager of whoever builds, no window flashes up or takes keys there, and the two halves
# of the work run at once, each on a display of its own. Without Xvfb the display in DISPLAY is used,
# one half after the other.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 2 ] || {
    echo "usage: $0 BIN_DIR OUT_DIR" >&2
    exit 2
}
bin=$(cd "$1" && pwd)
mkdir -p "$2"
target=$(cd "$2" && pwd)
benches="$here/benches"
program="$bin/rqk4712v-sfp"
own_display="$here/../../tests/support/own-display"

# A half of the work (SFP_PICTURES_PHASE) runs in the work folder of the whole (SFP_PICTURES_WORK).
phase=${SFP_PICTURES_PHASE:-}
if [ -z "$phase" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/sfp-help-pictures.XXXXXX")
else
    work=$SFP_PICTURES_WORK
fi
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # SFP_PICTURES_KEEP=1 keeps the work folder, with every program run's pictures and log, to look into.
    [ -n "$phase" ] || [ -n "${SFP_PICTURES_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
# The pictures are made in a folder of their own and replace those of the last run only when all were
# made, so a failed run leaves no mixture and a picture that is no longer made does not linger.
out="$work/pictures"
mkdir -p "$out"

# The program runs in a folder of its own (it writes an example labels file where none is found) on the
# simulated VISA library, with the simulated instruments' state kept in a fresh folder for every run, so
# each picture starts from its bench's initial state. The address sanitizer's leak report at exit is of
# no use here and would fail a run of a sanitizer build.
export RQK4712V_VISA_LIBRARY="$bin/libvisa-sim.so"
export RQK4712V_DRIVER_LIBRARY="$bin/librqk4712v_32.so"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
export NO_AT_BRIDGE=1 # no accessibility bus on the virtual display: GTK need not look for one
run=0
fresh_run() {
    run=$((run + 1))
    rundir="$work/$phase$run"
    mkdir -p "$rundir/state"
    export VISA_SIM_STATE="$rundir/state"
}

fail() {
    echo "make-pictures: $*" >&2
    for log in "$work"/*/log; do
        [ -s "$log" ] && {
            echo "--- $log" >&2
            cat "$log" >&2
        }
    done
    exit 1
}

# shot NAME GROUPS BENCH [ARGUMENT...]: the main window after start-up, as --screenshot saves it. The
# picture must show the identification strip and, when GROUPS is "groups", the six groups: the program
# saves it only once every part of the panel has been painted, so a picture without them is a fault.
shot() {
    local name=$1 expect=$2 bench=$3
    shift 3
    fresh_run
    cp "$benches"/*.lbl "$rundir/"
    (cd "$rundir" && VISA_SIM_BENCH="$bench" timeout 60 "$program" "$@" --screenshot="$work/$name.png" \
        >"$rundir/log" 2>&1) || fail "the screenshot run $name failed"
    if [ -z "$(strip "$work/$name.png")" ] ||
        { [ "$expect" = groups ] && ! groups "$work/$name.png" >/dev/null; }; then
        fail "the picture $name does not show the whole panel"
    fi
}

# start BENCH: starts the program on BENCH, to be driven with xdotool; stop ends it.
start() {
    fresh_run
    (cd "$rundir" && VISA_SIM_BENCH="$1" exec "$program" >"$rundir/log" 2>&1) &
    pids+=($!)
}
stop() {
    kill "${pids[-1]}" 2>/dev/null || true
    wait "${pids[-1]}" 2>/dev/null || true
    unset 'pids[-1]'
}
# window NAME: the id of the first shown window whose title matches NAME, once there is one; empty when
# none shows within 30 seconds.
window() {
    timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1 || true
}

# settle WINDOW FILE [BEFORE]: waits until the window's picture has stood still for three looks in a row
# (and differs from the picture BEFORE, when given), then saves it as FILE. The X server and the program
# paint asynchronously, and a fixed pause is either slow or, on a loaded machine, too short.
settle() {
    local id=$1 file=$2 before=${3:-} previous="$work/settle-previous.ppm" current="$work/settle.ppm"
    local still=0
    rm -f "$previous"
    for _ in $(seq 200); do
        import -window "$id" "$current" 2>/dev/null || true
        if [ -s "$current" ] && [ -f "$previous" ] && cmp -s "$current" "$previous" &&
            { [ -z "$before" ] || ! cmp -s "$current" "$before"; }; then
            still=$((still + 1))
            if [ "$still" -ge 2 ]; then
                convert "$current" "$file"
                return 0
            fi
        else
            still=0
        fi
        [ -s "$current" ] && mv "$current" "$previous"
        sleep 0.05
    done
    fail "window $id did not settle for $file"
}

# --- Cropping and annotating -------------------------------------------------------------------------

font=DejaVu-Sans
ink='#c00000'

# components PICTURE: the framed parts of a main-panel picture, one "WxH+X+Y" per line: every region of
# the panel that is not its light grey, with its size. Group controls and the identification strip have
# sunken frames around a light grey inside, so each shows up as a thin ring.
components() {
    convert "$1" -fill black +opaque '#C0C0C0' -fill white -opaque '#C0C0C0' \
        -define connected-components:verbose=true -define connected-components:area-threshold=50 \
        -connected-components 4 null: | awk 'NR > 1 && $NF == "srgb(0,0,0)" { print $2, $(NF - 1) }'
}
# groups PICTURE: the six group controls of a main-panel picture, in group order (groups 0 to 2 down the
# left column, 3 to 5 up the right one).
groups() {
    components "$1" | awk '{ split($1, r, /[x+]/); w = r[1]; h = r[2]
        if (w >= 60 && h >= 40 && w <= 200 && h <= 120 && $2 < w * h / 3) print r[3], r[4], $1 }' |
        sort -n -k1,1 -k2,2 | awk '{ rect[NR] = $3 } END {
            if (NR != 6) exit 1
            print rect[1]; print rect[2]; print rect[3]; print rect[6]; print rect[5]; print rect[4] }'
}
# strip PICTURE: the identification strip (slot, address, lamp) of a main-panel picture.
strip() {
    components "$1" | awk '{ split($1, r, /[x+]/)
        if (r[1] >= 150 && r[2] >= 20 && r[2] <= 40 && $2 < r[1] * r[2] / 3) { print $1; exit } }'
}

# callouts IN OUT ZOOM LEFT RIGHT CALLOUT...: the picture IN, enlarged ZOOM times, between white margins
# of LEFT and RIGHT pixels, each CALLOUT naming the point (x, y) with a label and a line to it:
# "L|text|x|y|label y" or "R|..." puts the label on the left or right margin at height "label y";
# "T|text|x|y|label x" or "B|..." above or below the picture, starting at "label x". Coordinates are
# fractions of IN's size. "\n" in a text breaks the line.
callouts() {
    local in=$1 output=$2 zoom=$3 left=$4 right=$5
    shift 5
    local w h
    read -r w h < <(identify -format '%w %h\n' "$in")
    local zw=$((w * zoom)) zh=$((h * zoom)) top=10 bottom=10 callout
    for callout in "$@"; do
        case $callout in
        T*) top=30 ;;
        B*) bottom=30 ;;
        esac
    done
    local total=$((left + zw + right))
    local args=(-size "${total}x$((top + zh + bottom))" xc:white
        '(' "$in" -filter point -resize "$((zoom * 100))%" ')' -geometry "+$left+$top" -composite
        -font "$font" -pointsize 13)
    local side text fx fy fl px py lx ly
    for callout in "$@"; do
        IFS='|' read -r side text fx fy fl <<<"$callout"
        read -r px py lx ly < <(awk -v l="$left" -v t="$top" -v w="$zw" -v h="$zh" -v x="$fx" -v y="$fy" \
            -v z="$fl" 'BEGIN { printf "%d %d %d %d\n", l + x * w, t + y * h, l + z * w, t + z * h }')
        [ -n "$text" ] || text=' '
        text=${text//\\n/$'\n'}
        case $side in
        L) args+=(-stroke "$ink" -strokewidth 1.5 -draw "line $((left - 6)),$ly $px,$py"
            -stroke none -fill black -gravity northeast -annotate "+$((total - left + 9))+$((ly - 8))" "$text") ;;
        R) args+=(-stroke "$ink" -strokewidth 1.5 -draw "line $((left + zw + 6)),$ly $px,$py"
            -stroke none -fill black -gravity northwest -annotate "+$((left + zw + 9))+$((ly - 8))" "$text") ;;
        T) args+=(-stroke "$ink" -strokewidth 1.5 -draw "line $lx,$((top - 8)) $px,$py"
            -stroke none -fill black -gravity northwest -annotate "+$((lx + 3))+$((top - 26))" "$text") ;;
        B) args+=(-stroke "$ink" -strokewidth 1.5 -draw "line $lx,$((top + zh + 8)) $px,$py"
            -stroke none -fill black -gravity northwest -annotate "+$((lx + 3))+$((top + zh + 10))" "$text") ;;
        *) fail "unknown callout $callout" ;;
        esac
        args+=(-fill "$ink" -draw "circle $px,$py $((px + 2)),$py" -gravity northwest)
    done
    convert "${args[@]}" -depth 8 -strip "$output"
}

crop() {
    convert "$1" -crop "$2" +repage "$3"
}

# centre RECT WIDTH HEIGHT FX FY: the point at fractions (FX, FY) of the rectangle RECT ("WxH+X+Y"), as
# fractions of a picture of WIDTH x HEIGHT, in the form callouts takes ("x|y").
centre() {
    awk -v r="$1" -v W="$2" -v H="$3" -v fx="$4" -v fy="$5" \
        'BEGIN { split(r, a, /[x+]/); printf "%.4f|%.4f\n", (a[3] + fx * a[1]) / W, (a[4] + fy * a[2]) / H }'
}

# panel_pictures: every picture cut from the four main-window pictures.
panel_pictures() {
    local group ident
    mapfile -t group < <(groups "$work/panel.png") || true
    [ "${#group[@]}" -eq 6 ] || fail "the six groups were not found in the main panel's picture"
    ident=$(strip "$work/panel.png")
    [ -n "$ident" ] || fail "the identification strip was not found in the main panel's picture"

    # The main window with its parts named.
    local pw ph
    read -r pw ph < <(identify -format '%w %h\n' "$work/panel.png")
    callouts "$work/panel.png" "$out/main-window.png" 1 100 90 \
        "L|Menu bar|0.06|0.035|0.035" \
        "L|Title band|0.05|0.13|0.13" \
        "L|Identification\\nstrip|$(centre "$ident" "$pw" "$ph" 0.01 0.5)|0.25" \
        "L|Group 0|$(centre "${group[0]}" "$pw" "$ph" 0.01 0.5)|0.42" \
        "L|Group 1|$(centre "${group[1]}" "$pw" "$ph" 0.01 0.5)|0.64" \
        "L|Group 2|$(centre "${group[2]}" "$pw" "$ph" 0.01 0.5)|0.86" \
        "R|Active lamp|$(centre "$ident" "$pw" "$ph" 0.96 0.5)|0.25" \
        "R|Group 5|$(centre "${group[5]}" "$pw" "$ph" 0.99 0.5)|0.42" \
        "R|Group 4|$(centre "${group[4]}" "$pw" "$ph" 0.99 0.5)|0.64" \
        "R|Group 3|$(centre "${group[3]}" "$pw" "$ph" 0.99 0.5)|0.86"

    # The identification strip, connected and on the non-live panel.
    crop "$work/panel.png" "$ident" "$work/strip.png"
    callouts "$work/strip.png" "$out/strip-live.png" 2 10 10 \
        "T|Slot|0.1|0.1|0.02" "T|Address|0.45|0.1|0.38" "T|Active lamp|0.91|0.1|0.72"
    local nonlive_strip
    nonlive_strip=$(strip "$work/nonlive.png")
    [ -n "$nonlive_strip" ] || fail "the identification strip was not found in the non-live panel's picture"
    crop "$work/nonlive.png" "$nonlive_strip" "$work/strip-nonlive.png"
    callouts "$work/strip-nonlive.png" "$out/strip-nonlive.png" 2 10 10 \
        "B|Slot unknown|0.1|0.9|0.02" "B|No address|0.45|0.9|0.38" "B|Lamp dark grey|0.91|0.9|0.68"
    callouts "$work/nonlive.png" "$out/nonlive-window.png" 1 10 10

    # One picture per device type, from the groups of the help bench.
    local g
    for g in 0 1 2 3 4 5; do
        crop "$work/panel.png" "${group[$g]}" "$work/group$g.png"
    done
    callouts "$work/group3.png" "$out/switch4.png" 2 10 110 \
        "T|Common label|0.12|0.4|0.0" \
        "T|Arm|0.55|0.34|0.5" \
        "T|Closed contact|0.75|0.38|0.65" \
        "B|Common|0.38|0.59|0.25" \
        "B|Open contacts|0.75|0.83|0.6" \
        "R|Channel labels|0.96|0.15|0.15"
    callouts "$work/group4.png" "$out/switch6.png" 2 10 110 \
        "B|Common|0.36|0.56|0.25" \
        "T|Arm|0.5|0.23|0.25" \
        "T|Closed contact|0.77|0.26|0.55" \
        "B|Open contacts|0.77|0.87|0.58" \
        "R|Channel labels|0.97|0.08|0.08"
    callouts "$work/group5.png" "$out/switch-open.png" 2 10 110 \
        "B|Common: blue|0.38|0.59|0.0" \
        "B|All contacts open|0.74|0.83|0.55"
    callouts "$work/group0.png" "$out/atten-a.png" 2 115 120 \
        "L|Group number|0.03|0.9|0.9" \
        "L|Hub|0.44|0.42|0.37" \
        "B|Pointer|0.5|0.68|0.2" \
        "B|Selected step|0.5|0.94|0.6" \
        "R|dB|0.95|0.15|0.15" \
        "R|Steps|0.76|0.28|0.3" \
        "R|Step labels (dB)|0.87|0.48|0.48"
    callouts "$work/group1.png" "$out/atten-b.png" 2 100 120 \
        "T|Greyed steps|0.36|0.14|0.05" \
        "T||0.5|0.08|0.05" \
        "R|Selected step|0.77|0.69|0.62"
    callouts "$work/group2.png" "$out/atten-c.png" 2 100 120 \
        "T|Greyed steps|0.21|0.47|0.05" \
        "T||0.24|0.26|0.05" \
        "T||0.36|0.14|0.05" \
        "T||0.5|0.08|0.05" \
        "L|Selected step|0.23|0.63|0.5"

    # A group whose state the module could not tell, from the bench that refuses group 3's query.
    local unknown
    mapfile -t unknown < <(groups "$work/unknown.png") || true
    [ "${#unknown[@]}" -eq 6 ] || fail "the six groups were not found in the unknown group's picture"
    crop "$work/unknown.png" "${unknown[3]}" "$work/group-unknown.png"
    callouts "$work/group-unknown.png" "$out/switch-unknown.png" 2 10 110 \
        "B|Common: grey|0.38|0.59|0.0" \
        "B|Contacts: grey, no arm|0.74|0.83|0.5"

    # The right-hand column with the names of the labels file.
    local x0 y0 w3 h3 x3 y3
    read -r x0 y0 < <(awk -v r="${group[5]}" 'BEGIN { split(r, a, /[x+]/); print a[3], a[4] }')
    read -r w3 h3 x3 y3 < <(awk -v r="${group[3]}" 'BEGIN { split(r, a, /[x+]/); print a[1], a[2], a[3], a[4] }')
    crop "$work/labels.png" "${w3}x$((y3 + h3 - y0))+$x0+$y0" "$work/labels-column.png"
    callouts "$work/labels-column.png" "$out/labels.png" 2 10 10
}

# --- Running the program ----------------------------------------------------------------------------

# The main window as start-up leaves it, on the help bench; with the labels file; the non-live panel; and
# with a group the module cannot tell; then every picture cut from them.
shots() {
    shot panel groups "$benches/panel.yaml"
    shot labels groups "$benches/panel.yaml" /l panel.lbl
    RQK4712V_VISA_LIBRARY="$work/no-visa/libvisa.so" shot nonlive strip "$benches/panel.yaml"
    shot unknown groups "$benches/unknown-group.yaml"
    panel_pictures
}

# The status panel, and the two dialogs of start-up and of System > Config, with their pictures.
driven() {
    # The status panel after Read Error Queue and a press on the status byte.
    start "$benches/panel.yaml"
    local main config select width height
    main=$(window '^RQK4712V$')
    [ -n "$main" ] || fail "the main window did not show"
    settle "$main" "$work/before.ppm"
    xdotool windowfocus --sync "$main" key alt+p s
    settle "$main" "$work/status-empty.ppm" "$work/before.ppm"
    xdotool key space
    settle "$main" "$work/status-read.ppm" "$work/status-empty.ppm"
    read -r width height < <(xdotool getwindowgeometry --shell "$main" |
        awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}END{print w, h}')
    xdotool mousemove --window "$main" $((width * 37 / 100)) $((height * 865 / 1000)) click 1 \
        mousemove --window "$main" 0 0
    settle "$main" "$work/status.png" "$work/status-read.ppm"
    stop

    # Two modules found: the Select Instrument dialog; then, on the first module, the Configuration
    # dialog.
    start "$benches/two-modules.yaml"
    select=$(window '^Select Instrument$')
    [ -n "$select" ] || fail "the Select Instrument dialog did not show"
    settle "$select" "$work/select.png"
    xdotool windowfocus --sync "$select" key Return
    main=$(window '^RQK4712V$')
    [ -n "$main" ] || fail "the main window did not show"
    settle "$main" "$work/before.ppm"
    xdotool windowfocus --sync "$main" key alt+s c
    config=$(window '^Configuration$')
    [ -n "$config" ] || fail "the Configuration dialog did not show"
    settle "$config" "$work/config.png"
    stop
    dialog_pictures
}

dialog_pictures() {
    callouts "$work/status.png" "$out/status-panel.png" 1 90 75 \
        "L|Read Error\\nQueue|0.265|0.23|0.2" \
        "L|Status byte|0.24|0.865|0.78" \
        "R|Number|0.92|0.23|0.16" \
        "R|Message|0.88|0.335|0.38" \
        "R|OPC?|0.77|0.865|0.8"
    callouts "$work/config.png" "$out/config-dialog.png" 1 10 10
    callouts "$work/select.png" "$out/select-instrument.png" 1 10 10
}

case $phase in
shots | driven)
    $phase
    exit 0
    ;;
esac

# half NAME: runs one half of the work on a display, in the background when it has one of its own.
half() {
    if command -v Xvfb >/dev/null; then
        # A half that fails is tried once more on a fresh display: driving windows with synthetic keys
        # on a heavily loaded machine can fail for reasons that are not the program's (an X error
        # while a window is still being mapped), and the build should not stop for that. The first
        # attempt's log stays in the second's, so a repeated failure shows both.
        (
            SFP_PICTURES_PHASE=$1 SFP_PICTURES_WORK=$work "$own_display" "$0" "$bin" "$target" ||
                { echo "make-pictures: the $1 failed once; trying it again"; false; } ||
                SFP_PICTURES_PHASE=$1 SFP_PICTURES_WORK=$work "$own_display" "$0" "$bin" "$target"
        ) >"$work/$1.log" 2>&1 &
        pids+=($!)
    elif [ -n "${DISPLAY:-}" ]; then
        SFP_PICTURES_PHASE=$1 SFP_PICTURES_WORK=$work "$0" "$bin" "$target" || fail "the $1 failed"
    else
        fail "the help pictures need an X display: install Xvfb or set DISPLAY"
    fi
}
# finish: waits for the halves started in the background, and fails when one of them failed.
finish() {
    local pid failed=0
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    pids=()
    if [ "$failed" -ne 0 ]; then
        cat "$work"/shots.log "$work"/driven.log >&2 2>/dev/null || true
        fail "the pictures could not be made"
    fi
}

half shots
half driven
finish
rm -f "$target"/*.png
mv "$out"/*.png "$target"/
