#!/usr/bin/env bash
# Light and materials through quadray-render: several lights add up, glass that bends nothing is
# invisible, a mirror floor shows the ball where the geometry puts it (and nothing of it at
# --depth 0), the checker follows its object, clock and background reach the picture, the
# report counts secondary rays only where there are some, and out-of-range values are errors.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
DONE="INFORMATION (100): main - Parsing done..."

render() {  # name, scene text, options...: picture $OUT/name.png, standard output $OUT/name.out
    local name=$1
    printf '%s\n' "$2" >"$OUT/$name.pov"
    "$RENDER" --quiet --mode full --threads 1 --size 40x30 --out "$OUT/$name.png" "${@:3}" "$OUT/$name.pov" \
        >"$OUT/$name.out" 2>/dev/null
    expect "$name: status" 0 "$?"
}

every_pixel() { $PNG pixel "$OUT/$1.png" $(for y in $(seq 0 29); do for x in $(seq 0 39); do echo "$x $y"; done; done); }

# How many pixels of actual differ by more than one level (the rounding of each picture) in some
# channel from expected, or from first + second - level; pixels where a channel of actual reaches
# 255 are left out.
beyond_a_level() {  # actual, expected | actual, first, second, level
    paste -d ' ' <(every_pixel "$1") <(every_pixel "$2") <(if [ $# -gt 2 ]; then every_pixel "$3"; fi) |
        awk -v k="${4:-0}" '
        { full = 0; off = 0
          for (c = 1; c <= 3; c++) { d = $c - $(c + 3) - (NF > 6 ? $(c + 6) - k : 0); full += $c == 255; off += d > 1 || d < -1 }
          bad += !full && off }
        END { print bad + 0 }'
}

# Two coloured lights = the first alone + the second alone - the ambient term (0.2, level 51).
SCENE='camera { location <0, 4, -4> look_at <0, 0.5, 0> }
LIGHTS
union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0.6, 0.6, 0.6> } finish { ambient 0.2 } }
    sphere { <0, 1, 0>, 1 pigment { color rgb <0.9, 0.5, 0.3> } finish { ambient 0.2 phong 0.4 } }
}'
FIRST='light_source { <-5, 8, -5> color rgb <0.5, 0.3, 0.2> }'
SECOND='light_source { <5, 6, -4> color rgb <0.2, 0.3, 0.5> }'
render first "${SCENE/LIGHTS/$FIRST}"
render second "${SCENE/LIGHTS/$SECOND}"
render both "${SCENE/LIGHTS/$FIRST$'\n'$SECOND}"
expect "two lights: first + second - ambient" 0 "$(beyond_a_level both first second 51)"

# Glass of ior 1 that lets everything through, in front of the ball and on its shadow.
GLASS='sphere { <0.8, 1.2, -1.2>, 0.8 finish { transmit 1 ior 1 } }'
GLASSY=${SCENE/LIGHTS/$FIRST}
render glass "${GLASSY/    sphere/    $GLASS$'\n'    sphere}" --report
expect "glass of ior 1: the picture without it" 0 "$(beyond_a_level glass first)"
expect "glass of ior 1: its rays are counted" 1 "$(grep -c '^refracted rays' "$OUT/glass.out")"

# A mirror floor under a red ball, seen from <0, 1, -5>: the ball's image, at <0, -1, 0>, lies
# 0.4 below the view's centre, row 3 of 30 from the bottom; at column 5 the mirror shows the
# green background. Without bounces the mirror is only its own dim blue.
MIRROR='camera { location <0, 1, -5> look_at <0, 1, 0> }
light_source { <0, 10, -5> color rgb <1, 1, 1> }
background { color rgb <0, 0.4, 0> }
union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0, 0, 1> } finish { ambient 0 diffuse 0.3 reflection 1 } }
    sphere { <0, 1, 0>, 0.5 pigment { color rgb <1, 0, 0> } finish { ambient 0.5 } }
}'
render mirror "$MIRROR" --report
render flat "$MIRROR" --depth 0 --report
pixels() { $PNG pixel "$OUT/$1.png" "${@:2}" | awk '{ print ($1 > 100 ? "ball" : $2 > 90 ? "green" : "dark") }' | tr '\n' ' '; }
expect "mirror: ball, its image, the background" "ball ball green " "$(pixels mirror 20 15 20 3 5 3)"
expect "mirror at depth 0: ball, no image, no background" "ball dark dark " "$(pixels flat 20 15 20 3 5 3)"
# The quad renderer splits where the mirrored colour changes, as at any change of colour.
quads() {  # picture name, options...: the quads drawn
    "$RENDER" --quiet --threads 1 --size 40x30 --report --out "$OUT/$1.png" "${@:2}" "$OUT/mirror.pov" 2>/dev/null |
        sed -n 's/^quadsDrawn \([0-9]*\) .*/\1/p'
}
expect "mirror in quads: more quads than without bounces" 1 "$(( $(quads quad) > $(quads quad0 --depth 0) ))"
expect "mirror in quads: ball, its image, the background" "ball ball green " "$(pixels quad 20 15 20 3 5 3)"
expect "mirror: reflected rays reported" 1 "$(grep -c '^reflected rays  *[0-9]* total$' "$OUT/mirror.out")"
expect "mirror at depth 0: no secondary rays, no lines" 0 "$(grep -c '^re[fl][le][ec]' "$OUT/flat.out")"

# The checker, facing the eye at z = 0: red where floor(x) + floor(y) is even. Six pixels to a
# unit, so columns 17, 23, 29 are x = -0.5, 0.5, 1.5 and rows 18, 12 are y = 0.5, -0.5. Moved by
# one along x, the pattern moves with the plane.
CHECKER='camera { location <0, 0, -5> look_at <0, 0, 0> }
light_source { <0, 0, -5> color rgb <1, 1, 1> }
plane { <0, 0, -1>, 0 MOVE pigment { checker color rgb <1, 0, 0> color rgb <0, 0, 1> } finish { ambient 0 diffuse 1 } }'
render checker "${CHECKER/MOVE/}" --report
render moved "${CHECKER/MOVE/translate <1, 0, 0>}"
cubes() { $PNG pixel "$OUT/$1.png" 17 18 23 18 29 18 23 12 | awk '{ printf "%s", ($1 > $3 ? "r" : "b") }'; }
expect "checker: cubes" "brbb" "$(cubes checker)"
expect "checker: moved with its object" "rbrr" "$(cubes moved)"
expect "checker: no secondary-ray lines" 0 "$(grep -c '^re[fl][le][ec]' "$OUT/checker.out")"

# One light statement where the start light stands is the start light: same picture, same report.
BALL='sphere { <0.53, 1.63, 1.87>, 0.3 }'
render start "$BALL" --report
render one "light_source { <200, 500, 200> color rgb <1, 1, 1> }"$'\n'"$BALL" --report
expect "one light: the start light's picture" "$($PNG digest "$OUT/start.png")" "$($PNG digest "$OUT/one.png")"
expect "one light: the start light's report" "$(cat "$OUT/start.out")" "$(cat "$OUT/one.out")"

# The background everywhere a ray meets nothing; the clock is 0 when nothing is animated, and a
# file's own clock stands.
TINY='background { color rgb <clock + 0.25, 0.5, 0> }
sphere { <0, 0, 0>, 0.001 }'
render clock "$TINY"
render own "#declare clock = 0.5;"$'\n'"$TINY"
expect "background and clock" "64 128 0/191 128 0/" \
    "$({ $PNG pixel "$OUT/clock.png" 0 0; $PNG pixel "$OUT/own.png" 39 29; } | tr '\n' '/')"

# Scenes the loader refuses, and names a file declares that stay its own.
check() {  # name, scene text, expected standard output
    printf '%s\n' "$2" >"$OUT/check.pov"
    local out
    out=$("$RENDER" --quiet --size 4x4 "$OUT/check.pov" 2>/dev/null)
    local status=$?
    local want=0
    [[ $3 == ERROR* ]] && want=255
    expect "$1" "$3 / $want" "$out / $status"
}
S='sphere { <0, 0, 0>, 1'
check "reflection above 1" "$S finish { reflection 1.5 } }" \
    "ERROR (9000): parser - Expected a number from 0 to 1 after reflection in line 1"
check "transmit below 0, its line" "$S"$'\n'"finish { transmit"$'\n'"-0.1 } }" \
    "ERROR (9000): parser - Expected a number from 0 to 1 after transmit in line 3"
check "ior of 0" "$S finish { ior 0 } }" "ERROR (9000): parser - Expected a finite number above 0 after ior in line 1"
check "ior not finite" "$S finish { ior 1/0 } }" \
    "ERROR (9000): parser - Expected a finite number above 0 after ior in line 1"
check "checker of one colour" "$S pigment { checker color rgb <1, 0, 0> } }" \
    "ERROR (9000): parser - Expected color in line 1"
check "background without color rgb" "background { <1, 0, 0> }"$'\n'"$S }" \
    "ERROR (9000): parser - Expected color in line 1"
check "background inside the object" "union { $S } $S } background { color rgb <1, 1, 1> } $S } }" \
    "ERROR (9000): parser - Expected } in line 1"
check "shares 0 and 1, ior below 1" "$S finish { reflection 0 transmit 1 ior 0.5 } }" "$DONE"
check "declared background is an object" "#declare background = $S }"$'\n'"background" "$DONE"
check "declared names of the new words" \
    "#declare reflection = 0.5; #declare checker = 2;"$'\n'"$S * reflection * checker finish { transmit reflection } }" "$DONE"
check "a declared ior is not a finish item" "#declare ior = 2;"$'\n'"$S finish { ior ior } }" \
    "ERROR (9000): parser - Expected } in line 2"

finish
