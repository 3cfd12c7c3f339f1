#!/usr/bin/env bash
# Golden pictures: quadray-render on a frozen copy of the bundled scene (every primitive, both
# prism sweeps, every CSG kind) must print the same report, counter for counter, and draw the
# same pixels as when the references were made. Any change to tracing, shading or the
# renderers that alters a single bit of a colour or a single test count shows up here. One
# thread, because the shadow-cache figures depend on which thread shades which sample.
#
#   render_golden.sh BUILD_DIR            compare with tests/scenes/golden/expected
#   render_golden.sh BUILD_DIR --update   rewrite the references (only for intended changes)
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
SCENE=tests/scenes/golden
EXPECTED=$SCENE/expected
UPDATE=0
[ "${2:-}" == "--update" ] && UPDATE=1

# name, arguments...: runs the case, then compares (or records) its report and its picture.
# The timing line goes to stderr and is not compared.
check() {
    local name=$1
    shift
    "$RENDER" --dir "$SCENE" --threads 1 --report --out "$OUT/$name.png" "$@" >"$OUT/$name.report" 2>"$OUT/$name.err"
    expect "status of $name" 0 "$?"
    local digest
    digest=$($PNG digest "$OUT/$name.png")
    if [ $UPDATE -eq 1 ]; then
        cp "$OUT/$name.report" "$EXPECTED/$name.report"
        echo "$digest" >"$EXPECTED/$name.sha256"
        return
    fi
    if cmp -s "$EXPECTED/$name.report" "$OUT/$name.report"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL report of $name"
        diff "$EXPECTED/$name.report" "$OUT/$name.report" | head -n 20
    fi
    expect "pixels of $name" "$(cat "$EXPECTED/$name.sha256")" "$digest"
}

# The start view and a view moved into the scene, by both window renderers and by the
# per-pixel reference trace; two frames where the second re-traces with warm shadow caches.
check quad --frames 2
check quad_moved --camera-move 5
check quad_border --size 320x240 --quality 0 --border
check full --mode full
check full_moved --mode full --camera-move 5
check frameless --mode frameless --frames 2
check frameless_border --mode frameless --quality 0 --border --batches 30

# Without a picture nothing is drawn, but every count stays what the drawing run reported.
if [ $UPDATE -eq 0 ]; then
    "$RENDER" --dir "$SCENE" --threads 1 --report --frames 2 >"$OUT/undrawn.report" 2>/dev/null
    expect "status of the run without a picture" 0 "$?"
    expect "report without a picture" "$(cat "$EXPECTED/quad.report")" "$(cat "$OUT/undrawn.report")"
fi

finish
