#!/usr/bin/env bash
# quadray-render's timing line with 1 and 2 threads, runs interleaved, median of the medians:
# quad frames (tracing alone and drawn), the full trace, frameless frames and a 1920x1080 quad
# frame. Optionally the same for a reference build (e.g. one without the pool).
#   bench/thread_figures.sh BUILD_DIR [REFERENCE_BUILD_DIR] [REPEATS]
set -u
BUILD=$1
REFERENCE=${2:-}
REPEATS=${3:-5}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# case name | arguments
CASES='quad|--frames 20
quad drawn|--frames 20 --out OUT/picture.png
full|--mode full
frameless (100 batches)|--mode frameless --frames 10
quad 1920x1080|--size 1920x1080 --frames 10'

run() {  # label, build, extra arguments, case arguments
    local arguments=${4//OUT/$OUT}
    # shellcheck disable=SC2086
    "$2/quadray-render" $3 $arguments 2>&1 >/dev/null | sed -n 's/.*, \([0-9.]*\) ms per frame.*/\1/p' >>"$OUT/$1"
}

for _ in $(seq "$REPEATS"); do
    while IFS='|' read -r name arguments; do
        key=${name// /_}
        [ -n "$REFERENCE" ] && run "$key.reference" "$REFERENCE" "" "$arguments"
        run "$key.1" "$BUILD" "--threads 1" "$arguments"
        run "$key.2" "$BUILD" "--threads 2" "$arguments"
    done <<<"$CASES"
done

printf '%-24s %10s %10s %10s %8s\n' case reference "1 thread" "2 threads" "2 vs 1"
while IFS='|' read -r name _; do
    key=${name// /_}
    ref=-
    [ -n "$REFERENCE" ] && ref=$(median <"$OUT/$key.reference")
    one=$(median <"$OUT/$key.1")
    two=$(median <"$OUT/$key.2")
    printf '%-24s %10s %10s %10s %8.2f\n' "$name" "$ref" "$one" "$two" "$(echo "$two / $one" | bc -l)"
done <<<"$CASES"
