#!/usr/bin/env bash
# A Slurm array job: each array task renders one frame of an animation of FRAMES frames, its task
# id being the frame number. Submit from the folder the frames go to, one task per frame:
#   sbatch --array=0-23 docs/farm/slurm-array.sh 24 [quadray-render options and scene file...]
# QUADRAY_RENDER names the program when it is not on the nodes' PATH.
#SBATCH --job-name=quadray-frames
#SBATCH --output=quadray-frame-%a.log
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
set -euo pipefail
frames=$1
shift
frame=$SLURM_ARRAY_TASK_ID
exec "${QUADRAY_RENDER:-quadray-render}" "$@" --animate "$frames" --frame-range "$frame-$frame" --out frame-####.png
