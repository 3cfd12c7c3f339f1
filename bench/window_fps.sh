#!/usr/bin/env bash
# Frames per second of the window on the start view, under a private Xvfb: opens the window,
# resizes it with xdotool, and counts the per-frame lines quadray prints over a few seconds
# after a warm-up. The still view is not refined (--no-refine), so every idle call draws a frame;
# builds older than refinement draw a frame on every idle call anyway and lack the option.
#   bench/window_fps.sh BUILD_DIR WIDTHxHEIGHT [SECONDS] [quadray options...]
set -u
BUILD=$(cd "$1" && pwd)
SIZE=$2
SECONDS_COUNTED=${3:-5}
shift 3 2>/dev/null || shift $#
WORK=$(mktemp -d)
Xvfb -displayfd 9 -screen 0 1920x1200x24 -nolisten tcp 9>"$WORK/display" 2>/dev/null &
XVFB=$!
trap 'kill $QUADRAY $XVFB 2>/dev/null; wait 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"
NO_REFINE=$("$BUILD/quadray" --help 2>&1 | grep -o -m1 -- '--no-refine')
stdbuf -oL "$BUILD/quadray" $NO_REFINE "$@" >"$WORK/out" 2>/dev/null &
QUADRAY=$!
for _ in $(seq 100); do
    WID=$(xdotool search --name "^A basic glut example$" 2>/dev/null | head -1)
    [ -n "$WID" ] && break
    sleep 0.1
done
xdotool windowmove "$WID" 0 0 windowsize "$WID" "${SIZE%x*}" "${SIZE#*x}"
sleep 1.5
echo "window $(xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p')"
# User plus system time of quadray in clock ticks (fields 14 and 15 of its stat line): on a
# shared machine the CPU time a frame costs varies far less than the frames per second.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$QUADRAY/stat"; }
before=$(grep -c 'fps)' "$WORK/out")
ticks_before=$(cpu_ticks)
sleep "$SECONDS_COUNTED"
after=$(grep -c 'fps)' "$WORK/out")
ticks_after=$(cpu_ticks)
frames=$((after - before))
cpu_ms=$(( (ticks_after - ticks_before) * 1000 / $(getconf CLK_TCK) ))
echo "$SIZE $* : $(( frames / SECONDS_COUNTED )) frames per second ($frames in ${SECONDS_COUNTED} s)," \
     "$(( frames > 0 ? cpu_ms / frames : 0 )) ms CPU per frame"
