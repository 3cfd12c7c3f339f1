#!/usr/bin/env bash
# Renders the frames of an animation on one machine with GNU parallel, one frame per process and
# as many processes as cores; the frames go to the working directory as frame-0000.png and on.
#   docs/farm/parallel.sh FRAMES [quadray-render options and scene file...]
# QUADRAY_RENDER names the program when it is not on the PATH.
set -euo pipefail
frames=$1
shift
seq 0 $((frames - 1)) | parallel --will-cite --halt now,fail=1 -q \
    "${QUADRAY_RENDER:-quadray-render}" "$@" --animate "$frames" --frame-range {}-{} --out frame-####.png
