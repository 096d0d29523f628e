#!/bin/bash
# The panel as other programs reach it over the session bus. Runs the real program as an interactive
# process on an X display of its own (tests/support/own-display) and a private bus (dbus-run-session),
# talks to it with gdbus, and switches the simulated module from a second program (visa_send) on the
# same state folder.
#
#   remote_control_test.sh follow   Refresh makes GroupPositions and the picture follow the module;
#                                   Reset opens every switch; one PropertiesChanged per operation
#   remote_control_test.sh busy     a call while a message box is open or another call runs is refused
#                                   with Busy; a failed Reset answers Instrument with the text the
#                                   operator is shown, before the operator has closed its box
#   remote_control_test.sh nobus    start-up without a reachable bus is unchanged, with one line on
#                                   standard error in an unattended run
#
# Needs SFP_BIN_DIR, SFP_SOURCE_DIR and VISA_SEND (set by CTest), a display of its own (the keyboard
# focus is given to its windows), xdotool, ImageMagick, dbus-run-session and gdbus.
set -u
if [ -z "${SFP_PRIVATE_BUS:-}" ]; then
    SFP_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
mode=$1
program="$SFP_BIN_DIR/rqk4712v-sfp"
work=$(mktemp -d /tmp/sfp-dbus-XXXXXX)
failures=0
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
expect() { # expect <what> <wanted> <got>
    if [ "$2" == "$3" ]; then echo "ok: $1"; else fail "$1: wanted [$2], got [$3]"; fi
}

export NO_AT_BRIDGE=1 # GTK's accessibility bus is not under test
export RQK4712V_VISA_LIBRARY="$SFP_BIN_DIR/libvisa-sim.so" VISA_SIM_STATE="$work/state"
export VISA_SIM_BENCH="$SFP_SOURCE_DIR/tests/benches/default.yaml"
cd "$work" || exit 1 # the example labels file lands here

panel=(--session --dest org.rqk4712v.FrontPanel --object-path /org/rqk4712v/FrontPanel)
call() { gdbus call "${panel[@]}" --method "org.rqk4712v.FrontPanel1.$1" 2>&1; }
property() { gdbus call "${panel[@]}" --method org.freedesktop.DBus.Properties.Get org.rqk4712v.FrontPanel1 "$1"; }
start_panel() {
    "$program" 2>"$work/panel.err" &
    pids+=($!)
    gdbus wait --session --timeout 60 org.rqk4712v.FrontPanel || fail "the panel took no name on the bus"
    # The name is taken before the module is searched for; calls are refused as busy until the panel
    # is shown.
    local deadline=$((SECONDS + 60))
    while property Live 2>&1 | grep -q Error.Busy && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
}
# Saves the main window as $1.png once it differs from $2.png (or equals it, with "same"): the panel
# repaints after the operation that changed it has ended, so the picture is read from the X server until
# that paint shows (within 30 s, however loaded the machine).
picture() {
    local window differing
    window=$(xdotool search --name '^RQK4712V$' | head -1)
    local deadline=$((SECONDS + 30))
    while :; do
        import -window "$window" "$work/$1.png"
        differing=$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)
        if { [ "$3" == same ] && [ "$differing" == 0 ]; } || { [ "$3" == differs ] && [ "$differing" != 0 ]; }; then
            echo "ok: the picture $3 ($differing pixels differ)"
            return
        fi
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.1
    done
    fail "picture $1: wanted it $3 from $2, $differing pixels differ"
}
# Waits until the bus monitor has printed $1 PropertiesChanged signals (within 30 s).
wait_for_signals() {
    local deadline=$((SECONDS + 30))
    while [ "$(grep -c PropertiesChanged "$work/signals")" -lt "$1" ] && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.1
    done
}

wait_for_box() {
    [ -n "$(timeout 60 xdotool search --sync --name '^RQK4712V SFP$' | head -1)" ]
}
# The operator confirms every message box, until none is left (and the call $1, if given, has returned).
confirm_boxes() {
    for _ in $(seq 50); do
        local box
        box=$(xdotool search --name '^RQK4712V SFP$' | head -1)
        if [ -z "$box" ]; then
            [ -z "${1:-}" ] || ! kill -0 "$1" 2>/dev/null && return
        else
            xdotool windowfocus --sync "$box" key Return
        fi
        sleep 0.2
    done
    fail "message boxes stayed open"
}

case "$mode" in
follow)
    # The main window at start, as the program saves it once it has been painted: the picture the
    # running panel must show once it has painted, and again after Reset. It runs in a folder of its
    # own, so that both runs find no labels file and write the example.
    mkdir "$work/first"
    (cd "$work/first" && SFP_SESSION_BUS=0 "$program" --screenshot="$work/start.png" 2>"$work/start.err") ||
        fail "the picture at start: $(cat "$work/start.err")"
    ! grep -q "not painted in time" "$work/start.err" || fail "the picture at start was taken unpainted"
    start_panel
    expect "properties at start" \
        "({'ResourceName': <'VXI0::112::INSTR'>, 'Live': <true>, 'CardNumber': <1>, 'GroupTypes': <[0, 1, 2, 3, 4, 3]>, 'GroupPositions': <[0, 0, 0, -1, -1, -1]>},)" \
        "$(gdbus call "${panel[@]}" --method org.freedesktop.DBus.Properties.GetAll org.rqk4712v.FrontPanel1)"
    gdbus monitor --session --dest org.rqk4712v.FrontPanel >"$work/signals" &
    pids+=($!)
    for _ in $(seq 100); do grep -q "is owned by" "$work/signals" && break; sleep 0.1; done
    picture shown start same

    "$VISA_SEND" VXI0::112::INSTR "ROUT:CLOS (@132)" "ROUT:ATT 1,1,60" || fail "the second program"
    expect "positions before Refresh" "(<[0, 0, 0, -1, -1, -1]>,)" "$(property GroupPositions)"
    expect "Refresh" "()" "$(call Refresh)"
    expect "positions after Refresh" "(<[0, 6, 0, 2, -1, -1]>,)" "$(property GroupPositions)"
    wait_for_signals 1 # the operation's end is announced, then the panel repaints
    picture refreshed start differs

    expect "Reset" "()" "$(call Reset)"
    expect "positions after Reset" "(<[0, 0, 0, -1, -1, -1]>,)" "$(property GroupPositions)"
    expect "switches on the module after Reset" "0,0,0,0;0,0,0,0,0,0;0,0,0,0;0" \
        "$("$VISA_SEND" VXI0::112::INSTR "ROUT:CLOS? (@130:133)" "ROUT:CLOS? (@140:145)" \
            "ROUT:CLOS? (@150:153)" "ROUT:ATT? 1,1" | tr '\n' ';' | sed 's/;$//')"
    wait_for_signals 2
    picture reset start same

    expect "one change announced per operation" \
        "/org/rqk4712v/FrontPanel: org.freedesktop.DBus.Properties.PropertiesChanged ('org.rqk4712v.FrontPanel1', {'GroupPositions': <[0, 6, 0, 2, -1, -1]>}, @as [])
/org/rqk4712v/FrontPanel: org.freedesktop.DBus.Properties.PropertiesChanged ('org.rqk4712v.FrontPanel1', {'GroupPositions': <[0, 0, 0, -1, -1, -1]>}, @as [])" \
        "$(grep PropertiesChanged "$work/signals")"
    ;;
busy)
    # A module on a GPIB-VXI interface: start-up refreshes it, so the relay fault meets only a Reset.
    cat >"$work/bench.yaml" <<'YAML'
resources:
  - name: GPIB-VXI0::24::INSTR
    slot: 5
    module:
      card: {options: "QZATNA01,QZATNB01,QZATNC01,QZSWTA01,QZSWTB01,QZSWTA01"}
    faults:
      latency_ms: 150
      commands:
        - {header: "ROUT:OPEN", action: error, code: -240, text: "Relay driver fault"}
YAML
    export VISA_SIM_BENCH="$work/bench.yaml"
    start_panel
    busy="Error: GDBus.Error:org.rqk4712v.FrontPanel1.Error.Busy: The panel is busy: it is starting, a dialog or message box is open, or an operation runs."
    # The operator runs System > Self Test from the keyboard; its result stays open in a message box.
    xdotool windowfocus --sync "$(xdotool search --name '^RQK4712V$' | head -1)" key alt+s t
    wait_for_box || fail "no message box for Self Test"
    expect "a call while the Self Test result is shown" "$busy" "$(call Refresh)"
    confirm_boxes

    # The failed Reset is answered with its report's text while the operator still has its box open.
    expect "the failed Reset" \
        "Error: GDBus.Error:org.rqk4712v.FrontPanel1.Error.Instrument: Instrument reports error: -240  Relay driver fault" \
        "$(call Reset)"
    wait_for_box || fail "no message box for the failed Reset"
    expect "a call while the failed Reset's report is shown" "$busy" "$(call Refresh)"
    confirm_boxes
    expect "a call once the boxes are closed" "()" "$(call Refresh)"

    # A call while another runs (every command to the module takes 150 ms here) is refused at once.
    call Refresh >"$work/refresh.out" &
    refresh=$!
    sleep 0.5
    expect "a call while a Refresh runs" "$busy" "$(call Reset)"
    wait "$refresh"
    expect "the Refresh that ran" "()" "$(cat "$work/refresh.out")"
    # Arguments that do not fit a member's signature, a method's or a property call's.
    for wrong in "org.rqk4712v.FrontPanel1.Reset 1" "org.freedesktop.DBus.Properties.Get org.rqk4712v.FrontPanel1"; do
        expect "$wrong" InvalidArgs "$(gdbus call "${panel[@]}" --method $wrong 2>&1 | grep -o InvalidArgs | head -1)"
    done
    ;;
nobus)
    # The same unattended start-up without a bus address, with one that leads nowhere, and with the bus.
    env -u DBUS_SESSION_BUS_ADDRESS "$program" --screenshot="$work/unset.png" 2>"$work/unset.err"
    expect "exit without a bus address" 0 $?
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$program" --screenshot="$work/nowhere.png" 2>"$work/nowhere.err"
    expect "exit with an unreachable bus" 0 $?
    "$program" --screenshot="$work/bus.png" 2>"$work/bus.err"
    expect "exit with the bus" 0 $?
    expect "lines about the bus" "1 1 0" "$(grep -c '^no session bus' "$work/unset.err") $(grep -c '^no session bus' \
        "$work/nowhere.err") $(grep -c 'session bus' "$work/bus.err")"
    expect "the same picture without a bus" 0 "$(compare -metric AE "$work/unset.png" "$work/bus.png" null: 2>&1)"
    expect "the same picture with an unreachable bus" 0 "$(compare -metric AE "$work/nowhere.png" "$work/bus.png" null: 2>&1)"
    ;;
*)
    fail "unknown scenario $mode"
    ;;
esac
[ -s "$work/panel.err" ] && { echo "panel's standard error:"; cat "$work/panel.err"; }
if [ "$failures" -eq 0 ]; then echo "$mode: every check held"; else echo "$mode: $failures checks failed"; fi
exit $((failures == 0 ? 0 : 1))
