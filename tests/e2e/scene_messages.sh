#!/usr/bin/env bash
# What quadray-render says about a scene file beyond loading it: warnings on standard error
# that never change standard output or the exit status, errors repeated on standard error with
# their place, files from other editors (byte-order mark, raw bytes echoed as \xNN), and a
# generated scene of 100,000 statements that share declared names.
set -u
RENDER="$(cd "$1" && pwd)/quadray-render"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
DONE="INFORMATION (100): main - Parsing done..."
passed=0
failed=0

mkdir -p "$WORK/objects"
printf 'sphere { <0, 0, 0>, 1 }\n' >"$WORK/objects/arena.pov"
printf 'sphere { <0, 0, 0>, 1 }\n' >"$WORK/objects/recognizer.pov"

# check_loaded NAME STDOUT STATUS STDERR...: with the scene in objects/cycle.pov, standard
# output must be exactly STDOUT, the status STATUS, and the lines of standard error that name a
# scene file exactly the STDERR lines, in order.
check_loaded() {
    local name=$1 expected_out=$2 expected_status=$3
    shift 3
    local expected_err=""
    [ $# -gt 0 ] && expected_err=$(printf '%s\n' "$@")
    local out status err
    out=$(cd "$WORK" && timeout 60 "$RENDER" --frames 1 --size 2x2 2>"$WORK/stderr")
    status=$?
    err=$(grep '^objects/' "$WORK/stderr")
    if [ "$out" == "$expected_out" ] && [ "$status" -eq "$expected_status" ] && [ "$err" == "$expected_err" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s (status %s)\n  expected stdout: %s\n  actual stdout:   %s\n' "$name" "$status" \
            "$expected_out" "$out"
        printf '  expected stderr: %s\n' "$expected_err"
        sed 's/^/  actual stderr:   /' "$WORK/stderr"
    fi
}

# check NAME SCENE STDOUT STATUS STDERR...: SCENE (printf format) is the scene.
check() {
    # shellcheck disable=SC2059
    printf "$2" >"$WORK/objects/cycle.pov"
    local name=$1
    shift 2
    check_loaded "$name" "$@"
}

W="objects/cycle.pov"
check "grouping to the right" 'sphere { <0, 0, 0>,\n  1 - 0.25 - 0.25 }\n' "$DONE" 0 \
    "$W:2: warning: '1 - 0.25 - 0.25' is read as 1 - (0.25 - 0.25) = 1, not (1 - 0.25) - 0.25 = 0.5"
check "leading minus and precedence" 'sphere { <-1 + 5, 2*3+4, 2 * -3 + 1>, 1 }\n' "$DONE" 0 \
    "$W:1: warning: '-1 + 5' is read as -(1 + 5) = -6, not (-1) + 5 = 4" \
    "$W:1: warning: '2 * 3 + 4' is read as 2 * (3 + 4) = 14, not (2 * 3) + 4 = 10" \
    "$W:1: warning: '2 * -3 + 1' is read as 2 * (-(3 + 1)) = -8, not (2 * (-3)) + 1 = -5"
check "same value either way" 'sphere { <2 * 3 * 4, 1 + 2 + 3, -2 * 3>, 0.1 + 0.2 + 0.3 + (1 - 1) }\n' "$DONE" 0
check "declared text warns once, at its line" \
    '#declare N = 8 / 2 / 2;\nunion {\n sphere { <0, 0, 0>, N }\n sphere { <N, 0, 0>, N }\n}\n' "$DONE" 0 \
    "$W:1: warning: '8 / 2 / 2' is read as 8 / (2 / 2) = 8, not (8 / 2) / 2 = 2"
check "text after the object" 'sphere { <0, 0, 0>, 1 }\n// a comment\n\n  box { <0, 0, 0>, <1, 1, 1> }\n' \
    "$DONE" 0 "$W:4: warning: text after the object is not read"
check "only comments after the object" 'sphere { <0, 0, 0>, 1 } /* a\n comment */ // and another\n\n' "$DONE" 0
check "text after a declared object" '#declare S = sphere { <0, 0, 0>, 1 }\nS\n\n  box { <0, 0, 0>, <1, 1, 1> }\n' "$DONE" 0 \
    "$W:4: warning: text after the object is not read"
check "name declared again" '#declare A = 1;\n\n#declare A = 2;\nsphere { <0, 0, 0>, A }\n' "$DONE" 0 \
    "$W:3: warning: 'A' is declared again; the first declaration (line 1) stands"
check "numbers that are not finite" 'sphere { <1/0, -1/0, 0>,\n sqrt(-1) }\n' "$DONE" 0 \
    "$W:1: warning: a number that is not finite (inf) is used here" \
    "$W:1: warning: a number that is not finite (-inf) is used here" \
    "$W:2: warning: a number that is not finite (nan) is used here"
check "zero plane normal" 'plane { <0, 0, 0>, 1 }\n' "$DONE" 0 "$W:1: warning: the plane normal has zero length"
check "zero scale factor" 'sphere { <0, 0, 0>, 1\n scale <1, 0, 1> }\n' "$DONE" 0 "$W:2: warning: a scale factor is zero"
check "byte-order mark" '\xef\xbb\xbfsphere { <0, 0, 0>, 1 }\n' "$DONE" 0
check "raw bytes echoed as escapes" 'sphere { <0, 0, 0>, 1\n \x1b[2J\xff\x7f }\n' \
    'ERROR (9001): tokenizer - Unknown token in line 2 : \x1b[2J\xff\x7f' 255 \
    "$W:2: error: Unknown token in line 2 : \\x1b[2J\\xff\\x7f [tokenizer 9001]"
check "parse error with its place" 'union {\n sphere { <0, 0, 0>, 1 }\n box { <0, 0, 0>, 1 }\n}\n' \
    'ERROR (9000): parser - Expected < in line 3' 255 "$W:3: error: Expected < in line 3 [parser 9000]"
check "object error with its place" 'union {\n cone { <0, 0, 0>, 1,\n   <0, 0, 0>, 0.5 }\n}\n' \
    'ERROR (1100): cone - Degenerated cone, base point = apex point.' 255 \
    "$W:3: error: Degenerated cone, base point = apex point. [cone 1100]"
check "warnings before an error" '#declare A = 1;\n#declare A = 2;\nsphere { <0, 0, 0> }\n' \
    'ERROR (9000): parser - Expected , in line 3' 255 \
    "$W:2: warning: 'A' is declared again; the first declaration (line 1) stands" \
    "$W:3: error: Expected , in line 3 [parser 9000]"
check "keyword declared" '#declare sphere = 1;\nsphere { <0, 0, 0>, 1 }\n' "$DONE" 0 \
    "$W:1: warning: 'sphere' is a keyword and cannot be declared"
check "number declaration without its semicolon" '#declare R = 2\nsphere { <0, 0, 0>, 1 }\n' \
    'ERROR (9000): parser - Expected an object statement in file objects/cycle.pov' 255 \
    "$W:1: warning: the declaration of 'R' has no ';' and takes in the sphere statement in line 2" \
    "$W: Expected an object statement in file objects/cycle.pov"
check "declared name last in the file" '#declare S = sphere { <0, 0, 0>, 1 }\nS' "$DONE" 0
check "keyword last in the file" 'sphere { <0, 0, 0>, 1 }\nsphere' "$DONE" 0 "$W:2: warning: text after the object is not read"
check "loop names and declarations in a loop" \
    'union {\n #for (I, 1, 3)\n  #declare R = I / 10;\n  sphere { <I, 0, 0>, R }\n #end\n}\n' "$DONE" 0
check "usual arithmetic has no grouping warnings" '#usual_arithmetic\nsphere { <0, 0, 0>, 2 * 3 + 4 - 9 }\n' "$DONE" 0
printf '#declare Red = texture { pigment { color rgb <1, 0, 0> } }\n#declare Bad = 1 +;\n' >"$WORK/objects/shared.inc"
check "included file read in place" '#include "shared.inc"\n#include "shared.inc"\nsphere { <0, 0, 0>, 1 texture { Red } }\n' "$DONE" 0
check "error inside an included file" '#include "shared.inc"\nsphere { <0, 0, 0>, Bad }\n' \
    'ERROR (9000): parser - Expected a number in line 2' 255 \
    "objects/shared.inc:2: error: Expected a number in line 2 [parser 9000]"
check "included file missing" '\n#include "missing.inc"\n' \
    'ERROR (9001): tokenizer - file not found: objects/missing.inc in line 2' 255 \
    "$W:2: error: file not found: objects/missing.inc in line 2 [tokenizer 9001]"
rm "$WORK/objects/shared.inc"

# Errors about a file as a whole name it on standard error too.
mkdir "$WORK/objects/cycle.pov.d"
for what in directory fifo missing; do
    rm -f "$WORK/objects/cycle.pov"
    case $what in
        directory) ln -s cycle.pov.d "$WORK/objects/cycle.pov"; reason="not a regular file" ;;
        fifo) mkfifo "$WORK/objects/cycle.pov"; reason="not a regular file" ;;
        missing) reason="file not found" ;;
    esac
    check_loaded "scene file that is a $what" "ERROR (9001): tokenizer - $reason: $W" 255 "$W: $reason: $W"
done
rm -f "$WORK/objects/cycle.pov"

# 100,000 spheres sharing a declared radius and texture load as a whole.
awk 'BEGIN {
    print "#declare R = 0.05;"
    print "#declare Tex = texture { pigment { color rgb <1, 0.5, 0.2> } }"
    print "union {"
    for (i = 0; i < 100000; i++) printf "  sphere { <%d, %d, 100>, R texture { Tex } }\n", i % 300, i / 300
    print "}"
}' >"$WORK/objects/cycle.pov"
check_loaded "100,000 spheres with declared names" "$DONE" 0

printf 'scene messages: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
