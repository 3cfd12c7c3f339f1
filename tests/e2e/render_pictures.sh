#!/usr/bin/env bash
# quadray-render's pictures of a small lit scene: a floor lit by its ambient term alone
# (0.4 grey, byte 102), a red ball in front (ambient 0.1, diffuse 0.6) and the recognizer,
# an ambient 0.6 grey ball (byte 153). Worked out from the start camera on 640x480:
# - the floor fills the rows whose primary rays point down: rows 0 to 269 (row 270's ray
#   climbs by 0.00017);
# - the ball's centre <1.7, 1, -1> is seen at sample (326, 206), where N·L = 0.2975 gives red
#   0.1 + 0.6 x 0.2975 = 0.2785 (byte 71) and green and blue 0.1 (byte 26);
# - the recognizer's ball, modelled at <40, 0, 0>, is turned to <-40, 0, 0> and moved to
#   <160, 35, -267>, seen at (260, 321); moved without the turn it would be at (163, 317).
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
SCENE=tests/scenes/render

run() {  # name, arguments...: picture in $OUT/name.png, output in $OUT/name.{out,err}
    local name=$1
    shift
    "$RENDER" --dir "$SCENE" --out "$OUT/$name.png" "$@" >"$OUT/$name.out" 2>"$OUT/$name.err"
    expect "status of $name" 0 "$?"
}

pixels() { $PNG pixel "$OUT/$1.png" "${@:2}" | tr '\n' '/'; }
within() {  # low, high, value
    awk -v low="$1" -v high="$2" -v value="$3" 'BEGIN { print (value >= low && value <= high) }'
}

run full --mode full --report
expect "full: floor, horizon, sky" "102 102 102/102 102 102/0 0 0/0 0 0/" "$(pixels full 20 20 20 269 20 270 20 470)"
expect "full: ball centre" "71 26 26/" "$(pixels full 326 206)"
expect "full: recognizer placed by turn and move" "153 153 153/0 0 0/" "$(pixels full 260 321 163 317)"
expect "full: counters" "quadsDrawn 0 frameNumber 1 raysThisFrame 308321" "$(tail -n 1 "$OUT/full.out")"
expect "full: the ball's unlit side blocks its own shadow rays" 1 "$(grep -c '^shadow rays' "$OUT/full.out")"

run quad --frames 2 --report
expect "quad: floor, sky, recognizer" "102 102 102/0 0 0/153 153 153/0 0 0/" \
    "$(pixels quad 20 20 20 470 260 321 163 317)"
read -r red green blue <<<"$($PNG pixel "$OUT/quad.png" 326 206)"
expect "quad: ball centre red" 1 "$(within 69 73 "$red")"
expect "quad: ball centre green and blue" "1 1" "$(within 25 27 "$green") $(within 25 27 "$blue")"
expect "quad: no border without --border" 0 "$($PNG count "$OUT/quad.png" 255 255 255)"
read -r _ quads _ frame _ rays <<<"$(tail -n 1 "$OUT/quad.out")"
expect "quad: second frame" 2 "$frame"
expect "quad: the same samples in both frames" "$((2 * rays))" \
    "$(sed -n 's/^primary rays *\([0-9]*\) total$/\1/p' "$OUT/quad.out")"
expect "quad: the edges split beyond the 256 flat quads" 1 "$((quads > 256))"

run border --border --report
expect "quad: borders are white" 1 "$(( $($PNG count "$OUT/border.png" 255 255 255) > 0 ))"
read -r _ borderQuads _ <<<"$(tail -n 1 "$OUT/border.out")"
expect "quad: borders split at least as deep" 1 "$((borderQuads >= quads))"

# Several rays per pixel: --samples 1 is the one-ray picture; four give the same picture on one
# thread or two, smooth the ball's edge but leave the flat floor alone; a region, traced in
# bands, is that part of the whole picture pixel for pixel.
run one --mode full --size 64x48 --threads 2
run aa1 --mode full --size 64x48 --samples 1
run aa4 --mode full --size 64x48 --samples 4 --threads 1 --report
run aa4threads --mode full --size 64x48 --samples 4 --threads 2
run tile --mode full --size 64x48 --samples 4 --region 20,10,44,30
expect "samples 1: the one-ray picture" "$($PNG digest "$OUT/one.png")" "$($PNG digest "$OUT/aa1.png")"
expect "samples 4: the same on two threads" "$($PNG digest "$OUT/aa4.png")" "$($PNG digest "$OUT/aa4threads.png")"
expect "samples 4: differs at the edges" 1 "$([ "$($PNG digest "$OUT/one.png")" != "$($PNG digest "$OUT/aa4.png")" ] && echo 1)"
expect "samples 4: the floor stays flat" "102 102 102/" "$(pixels aa4 2 2)"
expect "samples 4: every ray counted" "quadsDrawn 0 frameNumber 1 raysThisFrame $((65 * 49 + 64 * 48 * 3))" \
    "$(tail -n 1 "$OUT/aa4.out")"
expect "region: its size" "24 20" "$($PNG size "$OUT/tile.png")"
whole=() part=()
for ((y = 0; y < 20; y++)); do
    for ((x = 0; x < 24; x++)); do
        whole+=($((x + 20)) $((48 - 10 - 20 + y))) part+=($x $y)
    done
done
expect "region: that part of the whole" "$(pixels aa4 "${whole[@]}")" "$(pixels tile "${part[@]}")"

# Past 4096 pixels a side a full trace goes into the file band by band: the sample grid of a
# 16384x256 picture would take over 400 MB, the bands a few tens (not measured under the
# sanitizers, whose shadow memory counts as resident).
peak_kb=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' \
    "$RENDER" --dir "$SCENE" --mode full --size 16384x256 --out "$OUT/wide.png")
expect "bands: the whole picture written" "16384 256" "$($PNG size "$OUT/wide.png")"
grep -q -a __asan_init "$RENDER" || expect "bands: bounded memory" 1 "$((peak_kb < 150 * 1024))"

# One batch of one-pixel points: the generator's first picks (279, 158), (506, 236) and
# (63, 228) lie on the floor, and nothing is white.
run points --mode frameless --batches 1 --quality 0
expect "frameless: points on the floor" "102 102 102/102 102 102/102 102 102/" \
    "$(pixels points 279 158 506 236 63 228)"
expect "frameless: no border without --border" 0 "$($PNG count "$OUT/points.png" 255 255 255)"
expect "frameless: unpicked pixels stay black" 1 "$(( $($PNG count "$OUT/points.png" 0 0 0) >= 307200 - 100 ))"

# Neighbours never traced have no object, so bordered points turn white.
run bordered --mode frameless --batches 1 --quality 0 --border
expect "frameless: bordered points are white" 1 "$(( $($PNG count "$OUT/bordered.png" 255 255 255) > 0 ))"

finish
