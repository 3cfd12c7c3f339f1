#!/usr/bin/env bash
# The eye or the light inside a solid: the surface where the view leaves the solid is shown
# and lit, and a solid around both a point and the light does not shadow the point. Standard
# output and the exit status stay as for any scene.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"

VIEW='camera { location <0, 1, -4> look_at <0, 1, 0> } light_source { <0, 3, -3> color rgb <1, 1, 1> }'
# name | scene after the view | pixels (x y ..., from the bottom left of 64x48) | least R+G+B at each
CASES="
sky dome, the dome|union { sphere { <0, 0, 0>, 50 pigment { color rgb <0.3, 0.5, 0.9> } } sphere { <0, 1, 0>, 1 } }|2 45 3 40 5 44 7 41 9 45 11 43 13 40 55 44 57 41 59 46 61 42 62 38|60
sky dome, lit ball inside|union { sphere { <0, 0, 0>, 50 pigment { color rgb <0.3, 0.5, 0.9> } } sphere { <0, 1, 0>, 1 } }|32 24|300
floor written upside down|plane { <0, -1, 0>, 0 pigment { color rgb <0.8, 0.8, 0.8> } }|32 5|200
"

while IFS='|' read -r name scene pixel least; do
    [ -z "$name" ] && continue
    printf '%s\n%s\n' "$VIEW" "$scene" >"$OUT/scene.pov"
    "$RENDER" --mode full --size 64x48 --out "$OUT/picture.png" "$OUT/scene.pov" >"$OUT/stdout" 2>/dev/null
    status=$?
    # shellcheck disable=SC2086
    sum=$($PNG pixel "$OUT/picture.png" $pixel | awk 'NR == 1 || $1 + $2 + $3 < least { least = $1 + $2 + $3 } END { print least }')
    if [ "$status" -eq 0 ] && [ "$(cat "$OUT/stdout")" = "INFORMATION (100): main - Parsing done..." ] &&
        [ "${sum:-0}" -ge "$least" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: status %s, least R+G+B %s at %s (at least %s)\n' "$name" "$status" "$sum" "$pixel" "$least"
        cat "$OUT/stdout"
    fi
done <<<"$CASES"

# The sky dome example of the scene language guide, at a size where speckles of false shadow
# used to show: the dome's own surface must not shadow the points of its inside, so every
# pixel of the top 60 rows of the sky is lit (the dome's blue, far above the 0.1 grey of
# ambient light alone).
cat >"$OUT/dome.pov" <<'SCENE'
camera { location <0, 1, -5> look_at <0, 1, 0> }
light_source { <5, 10, -10> color rgb <1, 1, 1> }
union {
    sphere { <0, 0, 0>, 100 pigment { color rgb <0.3, 0.5, 1> } }
    sphere { <0, 1, 0>, 1 }
}
SCENE
"$RENDER" --mode full --size 400x300 --out "$OUT/dome.png" "$OUT/dome.pov" >/dev/null 2>&1
# shellcheck disable=SC2046
dark=$($PNG pixel "$OUT/dome.png" $(for y in $(seq 240 299); do for x in $(seq 0 399); do echo "$x $y"; done; done) |
    awk '$1 + $2 + $3 < 100 { n++ } END { print n + 0 }')
expect "dark pixels in the top 60 rows of the dome's sky" 0 "$dark"

finish
