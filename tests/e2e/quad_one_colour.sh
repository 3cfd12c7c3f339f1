#!/usr/bin/env bash
# Quad pictures with large areas of one colour: a sky that is not black, a black box, spheres
# brighter than white. Fans whose vertices all shade to one colour are drawn as two triangles,
# and black ones over a cleared frame not at all; every pixel must stay what the drawing of
# every fan in full gave (the digests were taken from that drawing).
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
cat >"$OUT/one_colour.pov" <<'SCENE'
camera { location <0, 1.5, -6> look_at <0, 1, 0> }
background { color rgb <0.25, 0.5, 0.75> }
light_source { <-5, 8, -6> color rgb <1, 1, 1> }
union {
    plane { <0, 1, 0>, 0 pigment { color rgb <0.6, 0.6, 0.5> } }
    box { <-3, 0, 1>, <-1, 2.5, 2> pigment { color rgb <0, 0, 0> } finish { ambient 0 diffuse 0 } }
    sphere { <1.5, 1.2, 0.5>, 1 pigment { color rgb <3, 2, 4> } finish { ambient 1 diffuse 0 } }
    sphere { <0, 3.2, 2>, 0.6 pigment { color rgb <-1, 0.5, 2> } finish { ambient 1 diffuse 0 } }
}
SCENE

# options | digest of the picture
while IFS='|' read -r options digest; do
    # shellcheck disable=SC2086  # the options are words
    "$RENDER" --quiet --threads 2 $options --out "$OUT/picture.png" "$OUT/one_colour.pov" >/dev/null 2>&1
    expect "status with '$options'" 0 "$?"
    expect "pixels with '$options'" "$digest" "$($PNG digest "$OUT/picture.png")"
done <<'CASES'
|e23bd9186d8b72797ad71a578ac9fd8639897a7168991a73462ca6f1483f8859
--quality 0|11ab0d1728584a77ffd28b4cb3705e97943544bc72f884d5e04ea5cc71cb7b42
--quality 4|ddc4f0974b628bf3c5927586673a58c25190a14022837e431cb55d6da7d88306
--border|e0406cba176fc84ab88118b11cddecbb6b3d9dbbf76effcbe23d7cf785067d41
--size 333x211|cb214c22414fdaa3474835c05ea71e2eea70abf1663f6ed8f17eb0654380ba57
--frames 2 --camera-move 1|df04cb538c85c70ed79850cfc99d7ae0debf9c7badf1461d96f51fed05872640
CASES
finish
