#!/usr/bin/env bash
# Every scene in examples/ loads without a warning and renders a picture: its camera and
# light statements put something lit in the middle of the view.
set -u
RENDER="$1/quadray-render"
PNG="python3 tests/e2e/png_pixels.py"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
passed=0
failed=0

expect() {  # description, expected, actual
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    fi
}

for scene in examples/*.pov; do
    "$RENDER" --mode full --size 64x48 --out "$OUT/picture.png" "$scene" >"$OUT/stdout" 2>"$OUT/stderr"
    expect "$scene: status" 0 "$?"
    expect "$scene: loaded" "INFORMATION (100): main - Parsing done..." "$(cat "$OUT/stdout")"
    expect "$scene: no warning" "" "$(grep -v ' per frame ' "$OUT/stderr")"
    expect "$scene: lit in the middle" 1 "$($PNG pixel "$OUT/picture.png" 32 24 | awk '{ print ($1 + $2 + $3 > 60) }')"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
