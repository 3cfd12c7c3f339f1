#!/usr/bin/env bash
# Steering in a real window: a right drag of 10 pixels downwards moves the camera forwards
# by 5 view directions; a left drag to the right rolls it and leaves the direction alone.
# The flying keys print exactly what their drags print, Left and Right turn by 5 degrees, a
# held key repeats its step, and r goes back to the start.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

start_xvfb
start_quadray
open_window
check "the scene shows" poll 60 shot_is 1 ">" 0.05

xdotool mousemove 320 240 mousedown 3 mousemove 320 250 mouseup 3
check "right drag prints the location" poll 30 grep -q '^location ' "$WORK/out"
read -r _ dx dy dz < <(grep '^direction ' "$WORK/out" | tail -1)
read -r _ lx ly lz < <(grep '^location ' "$WORK/out" | tail -1)
# The camera starts at (-0.664095, 1.810505, 4.61224); the printed direction is rounded.
check "location is start + 5 direction" awk -v dx="$dx" -v dy="$dy" -v dz="$dz" -v lx="$lx" -v ly="$ly" -v lz="$lz" '
    function off(a, b) { return a > b ? a - b : b - a }
    BEGIN { exit !(off(lx, -0.664095 + 5 * dx) < 1e-5 && off(ly, 1.810505 + 5 * dy) < 1e-5 &&
                   off(lz, 4.61224 + 5 * dz) < 1e-5) }'
check "the view direction is the start one" awk -v dx="$dx" -v dy="$dy" -v dz="$dz" '
    BEGIN { exit !(dx > 0.39 && dx < 0.40 && dy < -0.06 && dy > -0.07 && dz < -0.91 && dz > -0.92) }'
moves=$(lines_matching '^location ')

xdotool mousemove 320 250 mousedown 1 mousemove 330 250 mouseup 1
more_moves() { test "$(lines_matching '^location ')" -gt "$moves"; }
check "left drag prints the direction" poll 30 more_moves
check "left drag to the right leaves the direction" test "$(grep '^direction ' "$WORK/out" | tail -1)" = "direction $dx $dy $dz"
check "and the location" test "$(grep '^location ' "$WORK/out" | tail -1)" = "location $lx $ly $lz"

# The last direction and location lines, as one line.
camera_lines() { grep -E '^(direction|location) ' "$WORK/out" | tail -2 | paste -sd';'; }
step() { after '^location ' "$@"; }  # one action and its printed lines
key() { step press "$1"; }
drag() {  # BUTTON DX DY: a drag of that many pixels from the middle of the window
    step xdotool mousemove 320 240 mousedown "$1" mousemove $((320 + $2)) $((240 + $3)) mouseup "$1"
}
START="direction 0.398005 -0.061048 -0.915350;location -0.664095 1.810505 4.612240"
check "r goes back to the start" key r
check "and prints the start" test "$(camera_lines)" = "$START"
key Up
check "Up prints what a right drag down prints" test "$(camera_lines)" = "direction $dx $dy $dz;location $lx $ly $lz"
# Sequences of drags and of keys, each from the start, end in the same printed lines.
same_as_drags() {  # "KEY..." "BUTTON DX DY;..."
    local keys=$1 drags=$2 k d by_keys
    key r
    for k in $keys; do key "$k"; done
    by_keys=$(camera_lines)
    key r
    IFS=';' read -ra d <<<"$drags"
    for k in "${d[@]}"; do drag $k; done
    [ "$by_keys" = "$(camera_lines)" ] && [ "$by_keys" != "$START" ]
}
check "End, Page_Up, Up as their drags" same_as_drags "End Prior Up" "1 10 0;1 0 10;3 0 10"
check "Home, Page_Down, Down as their drags" same_as_drags "Home Next Down" "1 -10 0;1 0 -10;3 0 -10"
key r
key Right
read -r _ tx ty tz < <(grep '^direction ' "$WORK/out" | tail -1)
# From the start, the direction turns 5 degrees towards right (-0.917060, 0, -0.398749).
check "Right turns 5 degrees to the right" awk -v x="$tx" -v y="$ty" -v z="$tz" '
    function off(a, b) { return a > b ? a - b : b - a }
    BEGIN { c = cos(5 * atan2(0, -1) / 180); s = sin(5 * atan2(0, -1) / 180)
            exit !(off(x, 0.398005 * c - 0.917060 * s) < 2e-5 && off(y, -0.061048 * c) < 2e-5 &&
                   off(z, -0.915350 * c - 0.398749 * s) < 2e-5) }'
key Left
check "Left turns back" test "$(camera_lines)" = "$START"

key r
steps=$(lines_matching '^location ')
xdotool keydown Up
sleep 1.5
xdotool keyup Up
sleep 0.5
held_steps=$(($(lines_matching '^location ') - steps))
check "a held Up repeats its step" test "$held_steps" -ge 3
read -r _ hx hy hz < <(grep '^location ' "$WORK/out" | tail -1)
check "each repeat is a step of 5 directions" awk -v n="$held_steps" -v x="$hx" -v y="$hy" -v z="$hz" '
    function off(a, b) { return a > b ? a - b : b - a }
    BEGIN { exit !(off(x, -0.664095 + 5 * n * 0.398005) < 1e-3 && off(y, 1.810505 - 5 * n * 0.061048) < 1e-3 &&
                   off(z, 4.61224 - 5 * n * 0.915350) < 1e-3) }'
sleep 0.5
check "and stops when let go" test "$(lines_matching '^location ')" -eq $((steps + held_steps))

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
finish
