# Shared steps of the render-farm tests: the animated scene and the options of every frame, a
# one-run render to compare with, and the frame-by-frame comparison. Sourced after expect.bash.
FARM_FRAMES=5
FARM_OPTIONS=(--mode full --size 64x48 --threads 1 "$PWD/tests/farm/moving_ball.pov")
FARM_RENDER=$(realpath "$RENDER")

skipWithoutAnimate() {
    if ! "$FARM_RENDER" --help 2>/dev/null | grep -q -- '--animate'; then
        echo "skipped: quadray-render has no --animate yet"
        exit 0
    fi
}

# Renders every frame in one run into the directory $1.
renderInOneRun() {
    (cd "$1" && "$FARM_RENDER" "${FARM_OPTIONS[@]}" --animate "$FARM_FRAMES" --out frame-####.png) \
        >/dev/null 2>&1
    expect "status of the one-run render" 0 "$?"
}

# The frames in the directory $2, written by the farm $1, against the one-run frames in $3: both
# hold every frame by its name, the same pixels in each, and the ball has moved from the first
# frame to the last.
compareFrames() {
    local farm=$1 frames=$2 reference=$3 names name
    names=$(for ((i = 0; i < FARM_FRAMES; i++)); do printf 'frame-%04d.png\n' "$i"; done)
    expect "frames of the one-run render" "$names" "$(cd "$reference" && ls -- *.png)"
    expect "frames written by $farm" "$names" "$(cd "$frames" && ls -- *.png)"
    for name in $names; do
        expect "pixels of $name from $farm" "$($PNG digest "$reference/$name")" \
            "$($PNG digest "$frames/$name" 2>/dev/null)"
    done
    [ "$($PNG digest "$frames/frame-0000.png" 2>&1)" != "$($PNG digest "$frames/$name" 2>&1)" ]
    expect "first and last frame of $farm differ" 0 "$?"
}
