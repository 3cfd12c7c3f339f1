#!/usr/bin/env bash
# Reload on save in a real window: a saved colour change is shown with a second "Parsing
# done...", a broken save prints its error and keeps the last good picture, the fixed file
# brings the first picture back, and Escape still ends with one report.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

scene() {  # COLOUR [BROKEN]: writes the scene file in place, as an editor saves it
    printf 'camera { location <0, 0, -4> look_at <0, 0, 0> }\nlight_source { <-5, 5, -5> color rgb <1, 1, 1> }\nsphere { <0, 0, 0>, 1 pigment { color rgb %s } %s\n' \
        "$1" "${2:-}" >"$WORK/scene.pov"
}

scene "<1, 0, 0>" "}"
start_xvfb
start_quadray "$WORK" scene.pov
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

check "a broken save prints its error" after '^ERROR' scene "<0, 0, 1>"
check "the error line" test "$(grep '^ERROR' "$WORK/out")" = "ERROR (9000): parser - Expected } in line 4"
check "its place on standard error" grep -qx "scene.pov:4: ERROR (9000): parser - Expected } in line 4" "$WORK/err"
sleep 1
check "the last good picture stays" test "$(shot_digest)" = "$green"

check "the fixed file is loaded" after 'Parsing done' scene "<1, 0, 0>" "}"
check "the first picture returns" poll 30 eval '[ "$(shot_digest)" = "$red" ]'
check "three loads in all" test "$(lines_matching 'Parsing done')" -eq 3

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
finish
