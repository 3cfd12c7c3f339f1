#!/usr/bin/env bash
# Measures the union hierarchy on the generated scenes, each regrouped and flat in the same
# run, and prints one line per scene and mode.
#   bench/run_union_hierarchy.sh BUILD_DIR [N ...]   (default N: 100 1000 10000 100000)
# Flat scenes of 10,000 members get one frame, the others three; flat scenes of more members
# are not run (one frame of the 100,000 spheres takes more than seven minutes of processor time).
set -euo pipefail
BENCH="$1/bench_union_hierarchy"
shift
COUNTS=("$@")
[ ${#COUNTS[@]} -eq 0 ] && COUNTS=(100 1000 10000 100000)
SCENES=$(mktemp -d)
trap 'rm -rf "$SCENES"' EXIT
python3 "$(dirname "$0")/generate_large_scenes.py" "$SCENES" "${COUNTS[@]}"
for n in "${COUNTS[@]}"; do
    for kind in spheres boxes; do
        for mode in regrouped flat; do
            frames=3
            flag=
            if [ $mode == flat ]; then
                [ "$n" -gt 10000 ] && continue
                flag=--flat
                [ "$n" -eq 10000 ] && frames=1
            fi
            "$BENCH" "$SCENES/${kind}_$n.pov" $flag --frames $frames | tr '\n' ' '
            echo
        done
    done
done
