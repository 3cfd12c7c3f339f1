#!/usr/bin/env bash
# Closing the window the way a window manager does ends quadray normally, with the exit
# report printed exactly once.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

start_xvfb
start_quadray
open_window
check "the scene shows" poll 60 shot_is 1 ">" 0.05

python3 "$LIB/close_window.py" "$WID"
check "closing ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-x}" = 0
check "report printed once" test "$(lines_matching '^!rays!$')" -eq 1
check "help printed once" test "$(lines_matching '^!keys!$')" -eq 1
check "report ends with the credit frame" test "$(tail -1 "$WORK/out")" = "+-------------------------------------+"
check "primary rays were counted" grep -Eq '^primary rays +[1-9][0-9]* total$' "$WORK/out"
check "nothing on standard error" test ! -s "$WORK/err"
finish
