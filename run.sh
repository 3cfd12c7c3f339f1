#!/usr/bin/env bash
# Installs what is missing, builds, and opens quadray on the bundled scene. Without a display
# it renders the start view into quadray.png instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh

# The display quadray would open: a -display argument, or $DISPLAY.
display=()
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    [ "${args[i]}" = -display ] && display=(-display "${args[i + 1]}")
done
if ! xdpyinfo "${display[@]}" >/dev/null 2>&1; then
    echo "run.sh: no display to open a window on; rendering the start view with build/quadray-render"
    build/quadray-render --out quadray.png
    echo "run.sh: the picture is $(pwd)/quadray.png"
    exit 0
fi
exec build/quadray "$@"
