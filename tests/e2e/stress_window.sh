#!/usr/bin/env bash
# quadray in a real window under load: for STRESS_SECONDS (60 by default) both renderers take
# turns while every key (p b c s + - f) is released again and again and the camera is dragged
# with all three buttons; then Escape. The program must not crash, must print its exit report
# once with no counter wrapped around, and its memory must stay flat once the first frames
# are drawn.
set -u
source "$(dirname "$0")/lib/window.bash" "$1"

DURATION=${STRESS_SECONDS:-60}
# Allowed growth of the resident set after the warm-up, in kilobytes: allocator noise, never
# a per-frame or per-event leak (a minute of frames and drags would far exceed it).
RSS_SLACK_KB=8192
# AddressSanitizer holds freed memory in quarantine (up to 256 MB) before reusing it, so a
# sanitizer build only has to stay below that.
grep -q '^QUADRAY_SANITIZE:BOOL=ON' "$1/CMakeCache.txt" 2>/dev/null && RSS_SLACK_KB=$((256 * 1024 + 8192))
WARM_UP=10

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$QUADRAY_PID/status" 2>/dev/null; }

# drag BUTTON DX DY STEPS: a drag from the window's centre, in STEPS motion events.
drag() {
    local button=$1 dx=$2 dy=$3 steps=$4 i
    xdotool mousemove --window "$WID" 320 240 mousedown "$button"
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove --window "$WID" $((320 + dx * i / steps)) $((240 + dy * i / steps))
    done
    xdotool mouseup "$button"
}

start_xvfb
start_quadray
open_window
check "the scene shows (not black)" poll 60 shot_is 1 ">" 0.05

started=$SECONDS
warm_rss=""
peak_rss=0
samples=0
round=0
# One round: a key, a turn, a move forwards and back; every fourth round switches the
# renderer. Opposite drags and paired + and - keep the view and the quality in range.
keys=(p b c s minus plus p b c s plus minus)
while [ $((SECONDS - started)) -lt "$DURATION" ] && ! quadray_ended; do
    press "${keys[round % ${#keys[@]}]}"
    drag 1 $(((round % 7) * 10 - 30)) $(((round % 5) * 8 - 16)) 6
    drag 3 0 12 4
    drag 2 0 -12 4
    [ $((round % 4)) -eq 3 ] && press f
    round=$((round + 1))

    rss=$(rss_kb)
    [ -z "$rss" ] && break
    [ -z "$warm_rss" ] && [ $((SECONDS - started)) -ge "$WARM_UP" ] && warm_rss=$rss
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
    samples=$((samples + 1))
    echo "$((SECONDS - started)) $rss" >>"$WORK/rss"
done
final_rss=$(rss_kb)

check "quadray ran for the whole $DURATION s" test -n "$final_rss"
press Escape
check "Escape ends quadray" wait_for_exit 30
check "exit status 0" test "${QUADRAY_STATUS:-none}" == 0
check "the exit report is printed once" test "$(lines_matching '^!rays!$')" -eq 1
check "the report ends with the help" grep -qx "right btn: move into screen" "$WORK/out"
# A few minutes of frames make billions of bounding-box tests; a counter that wrapped around
# shows as a negative total.
check "no counter in the report is negative" bash -c "! grep -E ' -[0-9]+ total' '$WORK/out'"
check "nothing on standard error" test ! -s "$WORK/err"
check "motion was reported" test "$(lines_matching '^direction ')" -gt 0
if [ -n "$warm_rss" ] && [ -n "$final_rss" ]; then
    check "memory is flat: $warm_rss kB after ${WARM_UP} s, $final_rss kB at the end (peak $peak_rss kB)" \
        test "$final_rss" -le $((warm_rss + RSS_SLACK_KB))
else
    check "memory was sampled after the warm-up" false
fi
echo "$round rounds, $samples memory samples, rss ${warm_rss:-?} -> ${final_rss:-?} kB (peak $peak_rss kB)"
# The resident set every ten seconds, for a look at its course.
awk '$1 >= next_mark { printf "%s%ss %skB", sep, $1, $2; sep = ", "; next_mark = $1 + 10 } END { print "" }' \
    next_mark=0 "$WORK/rss"
grep -E '^(ray bounding region tests|primary rays) ' "$WORK/out"
sed 's/^/  stderr: /' "$WORK/err" | head -n 20
finish
