#!/usr/bin/env bash
# Reload on save in a real window: a saved colour change is shown with a second "Parsing
# done...", a broken save prints its error and keeps the last good picture with the error's
# place written along its bottom edge, the fixed file brings the first picture back, and Escape
# still ends with one report. Then the same with a still view refined: the error wakes the
# sleeping window, and the fixed file is refined again.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

scene() {  # COLOUR [BROKEN]: writes the scene file in place, as an editor saves it
    printf 'camera { location <0, 0, -4> look_at <0, 0, 0> }\nlight_source { <-5, 5, -5> color rgb <1, 1, 1> }\nsphere { <0, 0, 0>, 1 pigment { color rgb %s } %s\n' \
        "$1" "${2:-}" >"$WORK/scene.pov"
}

# The error's panel covers the bottom rows of the window; the sphere never reaches them.
error_shown() { shot_of 640x27+0+453 | awk '{ exit !($3 > 0.01) }'; }
no_error_shown() { ! error_shown; }
above_error() { shot_digest_of 640x453+0+0; }

scene "<1, 0, 0>" "}"
start_xvfb
start_quadray "$WORK" scene.pov --no-refine
open_window
check "the sphere shows" poll 60 shot_is 1 ">" 0.05
stable_digest() {  # the window's picture once two screenshots in a row agree
    local a b
    a=$(shot_digest)
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        sleep 0.3
        b=$(shot_digest)
        [ "$a" = "$b" ] && { echo "$b"; return; }
        a=$b
    done
    echo "$b"
}
red=$(stable_digest)

check "a saved colour is loaded again" after 'Parsing done' scene "<0, 1, 0>" "}"
check "and shown" poll 30 eval '[ "$(shot_digest)" != "$red" ]'
green=$(stable_digest)
green_above=$(above_error)
check "no error line while the scene loads" no_error_shown

check "a broken save prints its error" after '^ERROR' scene "<0, 0, 1>"
check "the error line" test "$(grep '^ERROR' "$WORK/out")" = "ERROR (9000): parser - Expected } in line 4"
check "its place on standard error" grep -qx "scene.pov:4: error: Expected } in line 4 \[parser 9000\]" "$WORK/err"
check "the error's place is drawn over the picture" poll 30 error_shown
sleep 1
check "the last good picture stays above it" test "$(above_error)" = "$green_above"

check "the fixed file is loaded" after 'Parsing done' scene "<1, 0, 0>" "}"
check "the first picture returns" poll 30 eval '[ "$(shot_digest)" = "$red" ]'
check "three loads in all" test "$(lines_matching 'Parsing done')" -eq 3
check "the same mistake saved again" after '^ERROR' scene "<0, 0, 1>"
check "shows its error again" poll 30 error_shown
check "and the fix is loaded again" after 'Parsing done' scene "<1, 0, 0>" "}"

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1

# Refined: once the picture is done quadray sleeps, and only the reload timer sees the saves.
start_quadray "$WORK" scene.pov --samples 2
open_window
done_lines() { lines_matching '^refined: done, 2 samples per pixel$'; }
check "the still view is refined" poll 60 eval '[ "$(done_lines)" -eq 1 ]'
check "a broken save while asleep prints its error" after '^ERROR' scene "<0, 0, 1>"
check "and wakes the window to show it" poll 30 error_shown
check "the fixed file is loaded" after 'Parsing done' scene "<1, 0, 0>" "}"
check "and refined again" poll 60 eval '[ "$(done_lines)" -eq 2 ]'
check "without the error line" no_error_shown
press Escape
check "Escape ends the refined window" wait_for_exit 30
finish
