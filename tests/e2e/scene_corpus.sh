#!/usr/bin/env bash
# Runs quadray on every scene-language case in tests/scenes/language, each as objects/cycle.pov
# of an empty working directory, and checks the single line it prints and its exit status 255.
# The first line of a case says what it expects:
#   // expect: ERROR (9000): parser - Expected } in line 3    that exact line
#   // expect: ok ...                                          the case parses; the run then
#                                                              stops at arena.pov's stop mark
# arena.pov always stops the run, so a case that parses never reaches the window. The .inc
# files of the corpus stand beside cycle.pov, for the cases that include them.
set -u
PROGRAM="$(cd "$1" && pwd)/quadray"
CORPUS="$(pwd)/tests/scenes/language"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
STOP_LINE="ERROR (9001): tokenizer - Unknown token in line 2 : \$stop"
passed=0
failed=0

mkdir -p "$WORK/objects"
printf '// ends the run once cycle.pov has been read\n$stop\n' >"$WORK/objects/arena.pov"
printf 'sphere { <0, 0, 0>, 1 }\n' >"$WORK/objects/recognizer.pov"
cp "$CORPUS"/*.inc "$WORK/objects/"

for scene in "$CORPUS"/*.pov; do
    name=$(basename "$scene")
    expectation=$(head -n 1 "$scene" | tr -d '\r' | sed -n 's|^// expect: ||p')
    case "$expectation" in
        "") printf 'FAIL %s: no expectation on its first line\n' "$name"; failed=$((failed + 1)); continue ;;
        ok*) expected_line=$STOP_LINE ;;
        *) expected_line=$expectation ;;
    esac
    cp "$scene" "$WORK/objects/cycle.pov"
    output=$(cd "$WORK" && env -u DISPLAY timeout 60 "$PROGRAM" 2>"$WORK/stderr")
    status=$?
    if [ "$output" == "$expected_line" ] && [ "$status" -eq 255 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s (status %s)\n  expected: %s\n  actual:   %s\n' "$name" "$status" "$expected_line" "$output"
        sed 's/^/  stderr:   /' "$WORK/stderr" | head -n 5
    fi
done

# Without objects/cycle.pov the run ends before anything else is read.
mkdir -p "$WORK/empty"
output=$(cd "$WORK/empty" && env -u DISPLAY timeout 60 "$PROGRAM" 2>/dev/null)
status=$?
missing_line="ERROR (9001): tokenizer - file not found: objects/cycle.pov"
if [ "$output" == "$missing_line" ] && [ "$status" -eq 255 ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    printf 'FAIL missing cycle.pov (status %s)\n  expected: %s\n  actual:   %s\n' "$status" "$missing_line" "$output"
fi

printf 'scene corpus: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
