#!/usr/bin/env bash
# How quadray shows and ends: without a display it says so in one line; in a real window the
# readout toggles, F2 saves the window's picture and F3 a full trace, a resize to 1280x720 is
# drawn edge to edge, and closing the window the way a window manager does ends quadray
# normally, with the exit report printed exactly once. A still view refined to N samples per
# pixel is quadray-render's full trace with --samples N, pixel for pixel, in the window, in F2
# and in F3; once it is done quadray sleeps.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

# No display: the scene is read first, then one line names the cause and the way out.
WAY_OUT="to render without a window use: quadray-render --out picture.png"
env -u DISPLAY "$BUILD/quadray" >"$WORK/out" 2>"$WORK/err"
check "no DISPLAY: status 1" test $? -eq 1
check "no DISPLAY: the scene was read" test "$(cat "$WORK/out")" = "INFORMATION (100): main - Parsing done..."
check "no DISPLAY: one line" test "$(cat "$WORK/err")" = "quadray: cannot open a window: DISPLAY is not set; $WAY_OUT"
"$BUILD/quadray" -display :1999 >"$WORK/out" 2>"$WORK/err"
check "unreachable display: status 1" test $? -eq 1
check "unreachable display: one line" test "$(cat "$WORK/err")" = \
    "quadray: cannot open display ':1999' (no X server reachable there); $WAY_OUT"
printf 'sphere { <0, 0, 0>, 1 \n' >"$WORK/bad.pov"
env -u DISPLAY "$BUILD/quadray" "$WORK/bad.pov" >"$WORK/out" 2>"$WORK/err"
check "no DISPLAY, bad scene: status 255" test $? -eq 255
# The error line, and on standard error its message at the file's path and line.
check "no DISPLAY, bad scene: its line" test "$(cat "$WORK/out")" = "ERROR (9000): parser - Expected } in line 2"
check "no DISPLAY, bad scene: its place" test "$(cat "$WORK/err")" = \
    "$WORK/bad.pov:2: error: Expected } in line 2 [parser 9000]"

# Pictures are saved in quadray's working directory.
PICTURES="$WORK/pictures"
mkdir "$PICTURES"
start_xvfb
start_quadray "$PICTURES" --dir "$ROOT" --no-refine --samples 1
open_window
check "the scene shows" poll 60 shot_is 1 ">" 0.05

# The sky in the top left corner is black until the readout covers it with white text.
corner_white() { shot_of 120x100+0+0 | cut -d' ' -f3; }
corner_has_text() { awk -v w="$(corner_white)" 'BEGIN { exit !(w > 0.05) }'; }
corner_is_plain() { [ "$(corner_white)" = 0.0000 ]; }
check "no readout at start" corner_is_plain
press h
check "h shows the readout" poll 30 corner_has_text
press h
check "h again hides it" poll 30 corner_is_plain

last_saved() { grep '^saved ' "$WORK/out" | tail -1; }
size_of() { python3 "$ROOT/tests/e2e/png_pixels.py" size "$PICTURES/$1"; }
digest_of() { python3 "$ROOT/tests/e2e/png_pixels.py" digest "$PICTURES/$1"; }
check "F2 saves the window's picture" after '^saved ' press F2
check "first name" test "$(last_saved)" = "saved quadray-0001.png"
check "F2 picture has the window's size" test "$(size_of quadray-0001.png)" = "640 480"
window_picture=$(digest_of quadray-0001.png)
check "F2 picture is what the window shows" test "$(shot_digest)" = "$window_picture"
check "F3 saves a full trace" after '^saved ' press F3
check "next free name" test "$(last_saved)" = "saved quadray-0002.png"
check "F3 picture has the window's size" test "$(size_of quadray-0002.png)" = "640 480"
check "the full trace is not the quad picture" test "$(digest_of quadray-0002.png)" != "$window_picture"
check "the quad frames after it are unchanged" poll 10 eval '[ "$(shot_digest)" = "$window_picture" ]'

xdotool windowsize "$WID" 1280 720
check "the window is 1280x720" poll 30 bash -c "xwininfo -id $WID | grep -q 'Width: 1280' && xwininfo -id $WID | grep -q 'Height: 720'"
check "the picture reaches the right edge" poll 30 eval 'shot_of 40x720+1240+0 | awk "{ exit !(\$1 > 0.05) }"'
check "and the top right" poll 30 eval 'shot_of 640x240+640+0 | awk "{ exit !(\$1 > 0.01) }"'
check "F2 after the resize" after '^saved ' press F2
check "F2 picture is 1280x720" test "$(size_of quadray-0003.png)" = "1280 720"

python3 "$LIB/close_window.py" "$WID"
check "closing ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
check "help printed once" test "$(lines_matching '^!keys!$')" -eq 1
check "report ends with the credit frame" test "$(tail -1 "$WORK/out")" = "+-------------------------------------+"
check "primary rays were counted" grep -Eq '^primary rays +[1-9][0-9]* total$' "$WORK/out"
check "nothing on standard error" test ! -s "$WORK/err"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$QUADRAY_PID/stat"; }
for samples in 1 3; do
    rm -f "$PICTURES"/*.png
    "$BUILD/quadray-render" --dir "$ROOT" --mode full --samples "$samples" --out "$WORK/full.png" 2>/dev/null
    full=$(python3 "$ROOT/tests/e2e/png_pixels.py" digest "$WORK/full.png")
    start_quadray "$PICTURES" --dir "$ROOT" --samples "$samples"
    open_window
    check "$samples: refined" poll 60 grep -qx "refined: done, $samples samples per pixel" "$WORK/out"
    check "$samples: one line per pass" test "$(grep -Ec "^refined: [1-$samples] of $samples samples per pixel, 307200 rays @ [0-9]+ rays per second\$" "$WORK/out")" -eq "$samples"
    check "$samples: the window shows the full trace" poll 10 eval '[ "$(shot_digest)" = "$full" ]'
    before=$(cpu_ticks)
    sleep 2
    check "$samples: then quadray sleeps (under 5 % of a core)" test $(($(cpu_ticks) - before)) -le $(($(getconf CLK_TCK) / 10))
    check "$samples: F2 saves the refined picture" after '^saved ' press F2
    check "$samples: F3 saves it as the full trace" after '^saved ' press F3
    check "$samples: both are the full trace" test "$(digest_of quadray-0001.png) $(digest_of quadray-0002.png)" = "$full $full"
    press Escape
    check "$samples: Escape ends quadray" wait_for_exit 30
done

# The readout keys do not restart refinement; a change starts again from a quad frame; a stops
# refinement and the frame lines go on.
start_quadray "$PICTURES" --dir "$ROOT" --samples 2
open_window
done_lines() { lines_matching '^refined: done'; }
check "refined at the start" poll 60 eval '[ "$(done_lines)" -eq 1 ]'
press h
check "h wakes the finished picture to show the readout" poll 30 corner_has_text
press h
check "and to hide it" poll 30 corner_is_plain
frames=$(lines_matching '^frameless: ')
press Up
check "a step forwards draws a quad frame and refines it" poll 60 eval '[ "$(done_lines)" -eq 2 ]'
check "one frame line before refining" test "$(lines_matching '^frameless: ')" -eq $((frames + 1))
press a
sleep 1
frames=$(lines_matching '^frameless: ')
check "a: continuous frames again" poll 30 eval '[ "$(lines_matching "^frameless: ")" -gt $((frames + 3)) ]'
check "and no more refining" test "$(done_lines)" -eq 2
press Escape
check "Escape ends quadray" wait_for_exit 30
check "nothing on standard error" test ! -s "$WORK/err"
finish
