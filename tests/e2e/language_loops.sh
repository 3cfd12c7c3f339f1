#!/usr/bin/env bash
# A scene of 10,000 spheres made by two nested #for loops gives the same counters and picture
# as the same scene written out sphere by sphere; so does a row of columns made by a macro.
set -u
RENDER="$(cd "$1" && pwd)/quadray-render"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
passed=0
failed=0

VIEW='camera { location <10, 25, -12> look_at <10, 0, 10> }'
cat >"$WORK/loops.pov" <<SCENE
$VIEW
union {
  #for (I, 0, 99)
    #for (J, 0, 99)
      sphere { <I * 0.2, 0, J * 0.2>, 0.08 }
    #end
  #end
}
SCENE
awk -v view="$VIEW" 'BEGIN {
    print view
    print "union {"
    for (i = 0; i < 100; i++)
        for (j = 0; j < 100; j++) printf "  sphere { <%d * 0.2, 0, %d * 0.2>, 0.08 }\n", i, j
    print "}"
}' >"$WORK/written.pov"

cat >"$WORK/macro.pov" <<SCENE
$VIEW
#macro Column(X, H)
  cylinder { <X, 0, 0>, <X, H, 0>, 0.3 pigment { color rgb <1, X / 20, 0> } }
#end
union {
  #for (I, 1, 20)
    Column(I, 1 + mod(I, 3))
  #end
  translate <0, 0, 8>
}
SCENE
awk -v view="$VIEW" 'BEGIN {
    print view
    print "union {"
    for (i = 1; i <= 20; i++)
        printf "  cylinder { <%d, 0, 0>, <%d, %d, 0>, 0.3 pigment { color rgb <1, %d / 20, 0> } }\n", i, i, 1 + i % 3, i
    print "  translate <0, 0, 8>"
    print "}"
}' >"$WORK/macro_written.pov"

# same NAME A B: counters and pictures of the two scenes are the same, and the picture is
# not empty.
same() {
    local scene
    for scene in "$2" "$3"; do
        (cd "$WORK" && timeout 60 "$RENDER" --threads 1 --mode full --size 80x60 --report \
            --out "$scene.png" "$scene.pov" >"$scene.out" 2>/dev/null)
    done
    if cmp -s "$WORK/$2.out" "$WORK/$3.out" && cmp -s "$WORK/$2.png" "$WORK/$3.png" &&
        grep -q "^shadow rays" "$WORK/$2.out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n' "$1"
        diff "$WORK/$2.out" "$WORK/$3.out" | head -n 10
    fi
}

same "10,000 spheres from nested loops" loops written
same "20 columns from a macro in a loop" macro macro_written

printf 'language loops: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
