#!/usr/bin/env bash
# quadray-render's counters on a scene whose three objects all lie behind the camera, so that
# every count follows from the grid alone:
# - quad mode: nothing differs anywhere, so quads split only while a half-size is 32 or more.
#   On 640x480 (grid 641 by 481) that gives 16 x 16 leaves of 40 by 30 pixels, traced at the
#   17 x 17 shared corners and 256 centres: 545 rays. On 64x48 one split gives 4 leaves,
#   3 x 3 corners and 4 centres: 13 rays. On 1x1 the 2 by 2 grid is one leaf of 4 samples.
# - full mode: every sample once, 641 x 481 = 308321 rays.
# - frameless mode: the distinct samples among the generator's picks in each frame.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
SCENE=tests/scenes/render_empty
NOTICE="INFORMATION (100): main - Parsing done..."

run() {  # name, arguments...: runs on the scene, output in $OUT/name.{out,err}
    local name=$1
    shift
    "$RENDER" --dir "$SCENE" --threads 1 "$@" >"$OUT/$name.out" 2>"$OUT/$name.err"
    expect "status of $name" 0 "$?"
}

last_line() { tail -n 1 "$OUT/$1.out"; }
primary_rays() { sed -n 's/^primary rays *\([0-9]*\) total$/\1/p' "$OUT/$1.out"; }

# Distinct samples per frameless frame, from the generator's fixed seeds: total and last frame.
frameless_rays() {  # grid width, grid height, frames, batches
    python3 - "$@" <<'EOF'
import sys
width, height, frames, batches = map(int, sys.argv[1:])
mask32 = 0xFFFFFFFF
state = [390451501, 613566701, 858993401]
parts = [(0xFFFFFFFE, 12, 13, 19), (0xFFFFFFF8, 4, 2, 25), (0xFFFFFFF0, 17, 3, 11)]
def next_random():
    for i, (mask, a, b, c) in enumerate(parts):
        s = state[i]
        state[i] = (((s & mask) << a) & mask32) ^ ((((s << b) & mask32) ^ s) >> c)
    return state[0] ^ state[1] ^ state[2]
total = 0
for _ in range(frames):
    picked = {next_random() % (width * height) for _ in range(batches * 100)}
    total += len(picked)
print(total, len(picked))
EOF
}

run quad --report --out "$OUT/quad.png"
expect "quad counters" "quadsDrawn 256 frameNumber 1 raysThisFrame 545" "$(last_line quad)"
expect "quad primary rays" 545 "$(primary_rays quad)"
expect "quad scene counts" 1 "$(grep -c '^3 primitives, 1 CSG nodes$' "$OUT/quad.out")"
expect "quad casts no shadow ray" 0 "$(grep -c '^shadow rays' "$OUT/quad.out")"
expect "quad output starts with the notice" "$NOTICE" "$(head -n 1 "$OUT/quad.out")"
expect "quad picture size" "640 480" "$($PNG size "$OUT/quad.png")"
expect "quad picture is black" 307200 "$($PNG count "$OUT/quad.png" 0 0 0)"

run quad3 --frames 3 --report
expect "three quad frames" "quadsDrawn 256 frameNumber 3 raysThisFrame 545" "$(last_line quad3)"
expect "three quad frames retrace" 1635 "$(primary_rays quad3)"
expect "timing of three frames" 1 \
    "$(grep -cE '^3 frames, [0-9]+\.[0-9]{3} ms per frame \(median\), [0-9]+ primary rays per second$' "$OUT/quad3.err")"

run small --size 64x48 --report --out "$OUT/small.png"
expect "64x48 counters" "quadsDrawn 4 frameNumber 1 raysThisFrame 13" "$(last_line small)"
expect "64x48 picture size" "64 48" "$($PNG size "$OUT/small.png")"

run tiny --size 1x1 --report
expect "1x1 counters" "quadsDrawn 1 frameNumber 1 raysThisFrame 4" "$(last_line tiny)"

run fine --quality 0 --report
expect "level 0 splits no flat quad" "quadsDrawn 256 frameNumber 1 raysThisFrame 545" "$(last_line fine)"
run coarse --quality 12 --border --report
expect "level 12 with borders" "quadsDrawn 256 frameNumber 1 raysThisFrame 545" "$(last_line coarse)"

run quiet --out "$OUT/quiet.png"
expect "without --report only the notice" "$NOTICE" "$(cat "$OUT/quiet.out")"
expect "one timing line" 1 \
    "$(grep -cE '^1 frames, [0-9]+\.[0-9]{3} ms per frame \(median\), [0-9]+ primary rays per second$' "$OUT/quiet.err")"

run full --mode full --report --out "$OUT/full.png"
expect "full counters" "quadsDrawn 0 frameNumber 1 raysThisFrame 308321" "$(last_line full)"
expect "full primary rays" 308321 "$(primary_rays full)"
expect "full picture size" "640 480" "$($PNG size "$OUT/full.png")"
expect "full picture is black" 307200 "$($PNG count "$OUT/full.png" 0 0 0)"

run fullsmall --mode full --size 64x48 --frames 5 --report
expect "full mode draws one frame" "quadsDrawn 0 frameNumber 1 raysThisFrame 3185" "$(last_line fullsmall)"

read -r total last <<<"$(frameless_rays 641 481 1 100)"
run frameless --mode frameless --report --out "$OUT/frameless.png"
expect "frameless counters" "quadsDrawn 0 frameNumber 1 raysThisFrame $last" "$(last_line frameless)"
expect "frameless primary rays" "$total" "$(primary_rays frameless)"
expect "frameless picture is black" 307200 "$($PNG count "$OUT/frameless.png" 0 0 0)"

read -r total last <<<"$(frameless_rays 101 81 3 5)"
run frameless3 --mode frameless --size 100x80 --frames 3 --batches 5 --report
expect "three frameless frames" "quadsDrawn 0 frameNumber 3 raysThisFrame $last" "$(last_line frameless3)"
expect "three frameless frames, rays" "$total" "$(primary_rays frameless3)"

# The cycle sits 50 directions behind the start; moving back by 100 puts it dead ahead.
run moved --mode full --camera-move -100 --out "$OUT/moved.png"
expect "centre before the move" "0 0 0" "$($PNG pixel "$OUT/full.png" 320 240)"
expect "centre after the move is lit" 1 "$($PNG pixel "$OUT/moved.png" 320 240 | awk '{print ($1 > 0 && $1 == $2 && $2 == $3)}')"
run movedquad --camera-move -100 --report
expect "the ball makes quads split" 1 "$(last_line movedquad | awk '{print ($2 > 256)}')"

finish
