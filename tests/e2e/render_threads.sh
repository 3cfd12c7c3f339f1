#!/usr/bin/env bash
# Any number of threads draws what one thread draws: on the golden scene, every renderer with
# 1, 2, 4 and 7 threads must give the same pixels, the same leaf count and the same rays per
# frame and in total as the single-threaded run. Only the shadow-cache figures (and the tests
# a cache hit saves) may differ, so they are not compared.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
SCENE=tests/scenes/golden

# The picture's digest, the counter line and the primary-ray total of one run.
outcome() {  # threads, arguments...
    local threads=$1
    shift
    "$RENDER" --dir "$SCENE" --report --threads "$threads" --out "$OUT/picture.png" "$@" >"$OUT/report" 2>/dev/null
    echo "status $? $($PNG digest "$OUT/picture.png")"
    grep -E '^(quadsDrawn|primary rays)' "$OUT/report"
}

# name | arguments: two frames each, so the second runs on warm shadow caches.
while IFS='|' read -r name arguments; do
    # shellcheck disable=SC2086
    reference=$(outcome 1 $arguments)
    for threads in 2 4 7; do
        # shellcheck disable=SC2086
        expect "$name with $threads threads" "$reference" "$(outcome "$threads" $arguments)"
    done
done <<'CASES'
quad|--frames 2 --size 320x240
quad moved with borders|--size 320x240 --camera-move 5 --border --quality 0
quad at quality 2|--size 320x240 --quality 2
full|--mode full --size 320x240
full anti-aliased|--mode full --size 160x120 --samples 3
full anti-aliased region, in bands|--mode full --size 160x120 --samples 3 --region 3,2,150,110
frameless|--mode frameless --frames 2 --size 320x240 --batches 40
frameless with borders|--mode frameless --size 160x120 --quality 0 --border --batches 60
CASES

finish
