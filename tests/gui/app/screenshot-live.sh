#!/usr/bin/env bash
# The program's unattended picture on the default bench shows the whole live panel: the identification
# strip, painted in a later wave than the groups, must be in it, so the lamp's green disc is there.
# Arguments: the program, the simulated VISA library, the bench file.
set -euo pipefail
program=$1 visa=$2 bench=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
VISA_SIM_STATE="$work/state" VISA_SIM_BENCH="$bench" RQK4712V_VISA_LIBRARY="$visa" \
    "$program" --screenshot="$work/panel.png"
green=$(convert "$work/panel.png" -fill black +opaque '#00FF00' -fill white -opaque '#00FF00' \
    -format '%[fx:round(mean*w*h)]' info:)
echo "pixels of the lamp's green: $green"
[ "$green" -ge 20 ]
