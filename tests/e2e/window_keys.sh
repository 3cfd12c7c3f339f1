#!/usr/bin/env bash
# quadray in a real window: the first picture, a held key acting once, the wire frame key,
# the frameless renderer, switching the frame report off, i naming what is under the pointer,
# and Escape with its single exit report. Frame lines are counted, so a still view is not
# refined (--no-refine).
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

start_xvfb
start_quadray . --no-refine
open_window

check "window is 640x480" bash -c "xwininfo -id $WID | grep -q 'Width: 640' && xwininfo -id $WID | grep -q 'Height: 480'"
check "notice before the window" grep -qx "INFORMATION (100): main - Parsing done..." "$WORK/out"
check "the scene shows (not black)" poll 60 shot_is 1 ">" 0.05
check "the filled picture has colours" poll 30 shot_is 2 ">" 0.05

# i describes what lies under the pointer exactly as quadray-render --pick does for that pixel.
picked=$("$BUILD/quadray-render" --pick 320,240 2>/dev/null | grep -v '^INFORMATION')
pick_lines() { sed -n '/^objects\/.*: [a-z_]*$/,/^point /p' "$WORK/out"; }
xdotool mousemove 320 240
press i
check "i prints what --pick prints" poll 10 eval '[ "$(pick_lines)" = "$picked" ]'

# A held key auto-repeats; only its final release counts, so holding - lowers the quality by
# one step and a single + restores the same subdivision.
last_quads() { grep '^frameless: ' "$WORK/out" | tail -1 | cut -d' ' -f4; }
quads_differ_from() { [ "$(last_quads)" != "$1" ]; }
quads_equal() { [ "$(last_quads)" == "$1" ]; }
start_quads=$(last_quads)
xdotool keydown minus
sleep 2
xdotool keyup minus
check "releasing - changes the subdivision" poll 30 quads_differ_from "$start_quads"
press plus
check "one + undoes a held -" poll 30 quads_equal "$start_quads"

press p
check "p draws the wire frame" poll 30 shot_is 2 "<" 0.001
check "the wire frame has white lines" shot_is 3 ">" 0.02
press p
check "p again fills the quads" poll 30 shot_is 2 ">" 0.05
filled=$(shot | cut -d' ' -f2)

# Frameless points over a wire frame: the coloured part of the picture grows frame by frame.
# At the finest quality the points are single pixels and one frame traces far fewer samples
# than the window has pixels, so covering most of the filled picture takes many frames.
press plus
press p
check "wire frame before frameless" poll 30 shot_is 2 "<" 0.001
press f
check "frameless points appear" poll 30 shot_is 2 ">" 0.01
check "frameless points accumulate to most of the filled picture" \
    poll 30 shot_is 2 ">" "$(awk -v f="$filled" 'BEGIN { print f * 0.8 }')"

check "frame report lines are printed" poll 10 bash -c "grep -q '^frameless: [0-9]* rpf, [0-9]* quads @ refresh rate 30 (=[0-9.inf]* fps) \$' '$WORK/out'"

# After s, the report lines stop; a mouse motion marks the point in the output after which
# no frame line may appear.
press s
xdotool mousemove 100 100 mousedown 3 mousemove 100 101 mouseup 3
check "motion prints after s" poll 30 grep -q '^location ' "$WORK/out"
frames_before=$(lines_matching '^frameless:')
sleep 1
check "no frame lines after s" test "$(lines_matching '^frameless:')" -eq "$frames_before"
check "nothing printed after the motion lines" test "$(tail -1 "$WORK/out" | cut -d' ' -f1)" = location

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0 after Escape" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
check "report ends with the credit frame" test "$(tail -1 "$WORK/out")" = "+-------------------------------------+"
check "nothing on standard error" test ! -s "$WORK/err"
finish
