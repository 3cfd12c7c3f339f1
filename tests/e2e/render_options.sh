#!/usr/bin/env bash
# quadray-render's command line through the real process: malformed options end with the
# usage line and status 2 before anything is loaded; scene and output errors keep their own
# messages and statuses.
set -u
RENDER="$1/quadray-render"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
USAGE="usage: quadray-render [--dir DIR] [--size WIDTHxHEIGHT] [--quality N] [--mode quad|full|frameless] [--frames N] [--batches B] [--camera-move D] [--border] [--out FILE.png] [--report]"
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

refused() {  # the arguments, which must be refused
    "$RENDER" "$@" >"$OUT/stdout" 2>"$OUT/stderr"
    local status=$?
    expect "status of [$*]" 2 "$status"
    expect "stdout of [$*]" "" "$(cat "$OUT/stdout")"
    expect "stderr of [$*]" "$USAGE" "$(cat "$OUT/stderr")"
}

refused --help
refused scene
refused --size
refused --size 640
refused --size 0x480
refused --size 640x-1
refused --size 9000x10
refused --size 640x480x1
refused --quality -1
refused --quality high
refused --mode wire
refused --frames 0
refused --frames 1.5
refused --batches 0
refused --camera-move
refused --camera-move forward
refused --camera-move nan
refused --out
refused --dir ""
refused --report --border --bogus
refused --size=640x480

# A directory without the scene files fails in the tokenizer, as quadray does.
"$RENDER" --dir "$OUT/none" >"$OUT/stdout" 2>"$OUT/stderr"
expect "status without scene files" 255 "$?"
expect "message without scene files" "ERROR (9001): tokenizer - file not found: $OUT/none/objects/cycle.pov" \
    "$(cat "$OUT/stdout")"

# The picture cannot be written: the scene was loaded, then a message and status 1.
"$RENDER" --dir tests/scenes/render_empty --size 8x8 --out "$OUT/none/picture.png" >"$OUT/stdout" 2>"$OUT/stderr"
expect "status of an unwritable picture" 1 "$?"
expect "stdout of an unwritable picture" "INFORMATION (100): main - Parsing done..." "$(cat "$OUT/stdout")"
expect "stderr of an unwritable picture" "quadray-render: cannot write $OUT/none/picture.png" \
    "$(head -n 1 "$OUT/stderr")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
