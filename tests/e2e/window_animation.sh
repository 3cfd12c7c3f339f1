#!/usr/bin/env bash
# The animation in a real window: a still view at clock 0 is refined; space plays the animation,
# so the ball moves frame by frame and the scene is read again silently; space again pauses it and
# the still view is refined once more.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

start_xvfb
start_quadray . tests/farm/moving_ball.pov --samples 2
open_window
check "the still view at clock 0 is refined" poll 60 grep -q '^refined: done' "$WORK/out"
refined_lines=$(lines_matching '^refined: done')
still=$(shot_digest)

press space
moved() { [ "$(shot_digest)" != "$still" ]; }
check "space plays: the picture changes" poll 30 moved
playing=$(shot_digest)
check "the picture goes on changing" poll 30 eval '[ "$(shot_digest)" != "$playing" ]'
check "frames are drawn while it plays" poll 10 grep -q '^frameless: ' "$WORK/out"

press space
check "space pauses: the still view is refined again" \
    poll 60 eval '[ "$(lines_matching "^refined: done")" -gt "$refined_lines" ]'
paused=$(shot_digest)
sleep 1
check "the paused picture stays" test "$(shot_digest)" = "$paused"
check "the scene is read again silently" test "$(lines_matching 'Parsing done')" -eq 1

press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0 after Escape" test "${QUADRAY_STATUS:-x}" = 0
check "nothing on standard error" test ! -s "$WORK/err"
finish
