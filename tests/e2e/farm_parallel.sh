#!/usr/bin/env bash
# The GNU parallel recipe of docs/farm, run as written: every frame it renders in a process of its
# own equals that frame of a one-run render, pixel for pixel.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
source "$(dirname "$0")/lib/farm.bash"
skipWithoutAnimate

mkdir "$OUT/farm" "$OUT/one-run"
RECIPE=$PWD/docs/farm/parallel.sh
(cd "$OUT/farm" && QUADRAY_RENDER=$FARM_RENDER bash "$RECIPE" "$FARM_FRAMES" "${FARM_OPTIONS[@]}") \
    >"$OUT/parallel.log" 2>&1
expect "status of the parallel recipe" 0 "$?"
renderInOneRun "$OUT/one-run"
compareFrames "GNU parallel" "$OUT/farm" "$OUT/one-run"
finish
