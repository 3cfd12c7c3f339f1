#!/usr/bin/env bash
# Steering in a real window: a right drag of 10 pixels downwards moves the camera forwards
# by 5 view directions; a left drag to the right rolls it and leaves the direction alone.
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

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
finish
