#!/usr/bin/env bash
# Every scene in examples/ loads without a warning and renders a picture: its camera and
# light statements put something lit in the middle of the view.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"

for scene in examples/*.pov; do
    "$RENDER" --mode full --size 64x48 --out "$OUT/picture.png" "$scene" >"$OUT/stdout" 2>"$OUT/stderr"
    expect "$scene: status" 0 "$?"
    expect "$scene: loaded" "INFORMATION (100): main - Parsing done..." "$(cat "$OUT/stdout")"
    expect "$scene: no warning" "" "$(grep -v ' per frame ' "$OUT/stderr")"
    expect "$scene: lit in the middle" 1 "$($PNG pixel "$OUT/picture.png" 32 24 | awk '{ print ($1 + $2 + $3 > 60) }')"
done

finish
