#!/usr/bin/env bash
# quadray-render --animate through the real process: frames named and numbered, a frame alone the
# same picture as in a run in every mode, one report summing the frames, an error in a late frame,
# and refused ranges and regions that render nothing.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
RENDER=$(realpath "$RENDER")
PNG="python3 $PWD/tests/e2e/png_pixels.py"
BALL=$PWD/tests/farm/moving_ball.pov
SCENE=$PWD
cd "$OUT" || exit 1

# Refused before anything is loaded or written: status 2 and the fault on standard error (every
# refusal's wording is checked in tests/app/options_test.cpp).
while IFS='|' read -r problem arguments; do
    "$RENDER" $arguments --out refused.png >stdout 2>stderr
    expect "status of [$arguments]" 2 "$?"
    expect "problem of [$arguments]" "quadray-render: $problem" "$(head -n 1 stderr)"
    expect "output of [$arguments]" "" "$(cat stdout; ls refused*.png 2>/dev/null)"
done <<'TABLE'
--frame-range: 2-3 is not within frames 0-2|--animate 3 --frame-range 2-3
--region: 0,0,33,24 is outside the 32x24 picture|--mode full --size 32x24 --region 0,0,33,24
TABLE

# Each mode: frames 1 and 2 of a run equal each frame rendered alone, and the ball moves.
while IFS='|' read -r mode arguments; do
    mkdir "$mode" && cd "$mode" || exit 1
    "$RENDER" $arguments --size 48x36 --animate 3 --frame-range 1-2 --out run-##.png "$BALL" >/dev/null 2>&1
    expect "status of the $mode run" 0 "$?"
    expect "frames of the $mode run" "run-01.png run-02.png" "$(echo run*.png)"
    for frame in 1 2; do
        "$RENDER" $arguments --size 48x36 --animate 3 --frame-range $frame-$frame --out alone.png "$BALL" \
            >/dev/null 2>&1
        expect "$mode frame $frame alone" "$($PNG digest run-0$frame.png)" "$($PNG digest alone000$frame.png)"
    done
    [ "$($PNG digest run-01.png)" != "$($PNG digest run-02.png)" ]
    expect "$mode frames 1 and 2 differ" 0 "$?"
    cd ..
done <<'TABLE'
full|--mode full --samples 4 --threads 2
quad|--mode quad --frames 2 --threads 2
frameless|--mode frameless --quality 0 --batches 2 --frames 2 --threads 1
TABLE

# Without --animate a # is an ordinary character of the name.
"$RENDER" --mode full --size 8x6 --out 'plain#.png' "$BALL" >/dev/null 2>&1
expect "a plain picture named with #" "plain#.png" "$(ls plain*.png)"

# A scene without clock: three frames count three times what one frame counts, in one report
# after one notice; the last line is a lone frame's.
single=$("$RENDER" --dir "$SCENE" --mode quad --size 64x48 --threads 1 --report 2>/dev/null)
three=$("$RENDER" --dir "$SCENE" --mode quad --size 64x48 --threads 1 --report --animate 3 2>/dev/null)
expect "report of three frames" \
    "$(awk '{ for (i = 1; i < NF; i++) if ($(i + 1) ~ /^total/) $i *= 3; $1 = $1 } 1' <<<"$single")" \
    "$(awk '{ $1 = $1 } 1' <<<"$three")"

# A camera that reaches its look_at point at clock 1: frames 0 and 1 are written, then the error
# line ends the run with status 255 and no report.
sed 's/location <0, 1.6, -5>/location <0, 0.9 + 0.7 * (1 - clock), -5 * (1 - clock)>/' "$BALL" >late.pov
"$RENDER" --mode full --size 8x6 --animate 3 --report --out late-#.png late.pov >stdout 2>/dev/null
expect "status of a failing frame" 255 "$?"
expect "output of a failing frame" "INFORMATION (100): main - Parsing done...
ERROR (100): main - Camera location and look_at point must be different." "$(cat stdout)"
expect "frames before the failing one" "late-0.png late-1.png" "$(echo late-*.png)"
finish
