# Shared steps of the real-window tests: a private X server, quadray started from the
# repository root (or another directory) with line-buffered output, screenshots, bounded
# polling and clean-up.
# Sourced by tests/e2e/window_*.sh with the build directory as $1.

BUILD=$(cd "$1" && pwd)
ROOT=$(pwd)
LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d)
XVFB_PID=""
QUADRAY_PID=""
QUADRAY_STATUS=""
WID=""
passed=0
failed=0

cleanup() {
    [ -n "$QUADRAY_PID" ] && kill "$QUADRAY_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

check() {  # description, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $what"
    fi
}

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

# poll SECONDS COMMAND...: true as soon as the command succeeds, false after the time.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

# The screen holds the window at its largest tested size, 1280x720. Without -noreset the server
# starts afresh whenever its last client leaves and refuses connections meanwhile; the test goes
# on only once a client has been let in.
start_xvfb() {
    Xvfb -displayfd 9 -screen 0 1600x1200x24 -nolisten tcp -noreset 9>"$WORK/display" 2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    if ! poll 20 test -s "$WORK/display"; then
        echo "FAIL no X server"
        exit 1
    fi
    export DISPLAY=":$(cat "$WORK/display")"
    if ! poll 20 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
        echo "FAIL the X server on $DISPLAY lets no client in"
        cat "$WORK/xvfb.log"
        exit 1
    fi
}

# Starts quadray in the directory given (the repository root by default), with the arguments
# that follow. stdbuf makes its
# output line-buffered, so lines can be waited for. A sanitizer build must accept stdbuf's
# preloaded library ahead of its runtime, and must not count what the GL driver, unloaded
# when the window closes, still held (the unit tests check quadray's own memory).
SANITIZER_OPTIONS="verify_asan_link_order=0:detect_leaks=0"
start_quadray() {
    (cd "${1:-.}" &&
        ASAN_OPTIONS="$SANITIZER_OPTIONS${ASAN_OPTIONS:+:$ASAN_OPTIONS}" exec stdbuf -oL "$BUILD/quadray" "${@:2}") \
        >"$WORK/out" 2>"$WORK/err" &
    QUADRAY_PID=$!
}

find_window() {
    WID=$(xdotool search --name "^A basic glut example$" 2>/dev/null | head -1)
    [ -n "$WID" ]
}

# Waits for the window, puts it at the top left corner and gives it the keyboard.
open_window() {
    if ! poll 30 find_window; then
        echo "FAIL the window did not appear"
        cat "$WORK/out" "$WORK/err"
        exit 1
    fi
    xdotool windowmove "$WID" 0 0
    xdotool windowfocus "$WID"
}

# Prints "NONBLACK MIDTONE WHITE" fractions of the window's current picture.
shot() {
    import -window "$WID" -depth 8 "rgb:$WORK/shot.rgb" 2>/dev/null &&
        python3 "$LIB/rgb_stats.py" "$WORK/shot.rgb"
}

# shot_of GEOMETRY: like shot, for the part WIDTHxHEIGHT+X+Y of the window.
shot_of() {
    import -window "$WID" -crop "$1" -depth 8 "rgb:$WORK/part.rgb" 2>/dev/null &&
        python3 "$LIB/rgb_stats.py" "$WORK/part.rgb"
}

# The SHA-256 of the window's pixels, rows from the top, as png_pixels.py digest gives it.
shot_digest() {
    import -window "$WID" -depth 8 "rgb:$WORK/shot.rgb" 2>/dev/null && sha256sum <"$WORK/shot.rgb" | cut -d' ' -f1
}

# shot_digest_of GEOMETRY: like shot_digest, for the part WIDTHxHEIGHT+X+Y of the window.
shot_digest_of() {
    import -window "$WID" -crop "$1" -depth 8 "rgb:$WORK/part.rgb" 2>/dev/null && sha256sum <"$WORK/part.rgb" | cut -d' ' -f1
}

# shot_is FIELD OP VALUE: compares one fraction of a fresh screenshot, e.g. shot_is 2 "<" 0.01
shot_is() {
    local fields
    fields=($(shot)) || return 1
    awk -v a="${fields[$(($1 - 1))]}" -v b="$3" "BEGIN { exit !(a $2 b) }"
}

lines_matching() { grep -c -- "$1" "$WORK/out"; }

# after PATTERN COMMAND...: runs the command, then waits until one more output line matches.
after() {
    local pattern=$1 before
    shift
    before=$(lines_matching "$pattern")
    "$@"
    poll 30 eval '[ "$(lines_matching "$pattern")" -gt "$before" ]'
}

# A process that has ended but was not yet waited for is a zombie.
quadray_ended() {
    local state
    state=$(ps -o stat= -p "$QUADRAY_PID" 2>/dev/null)
    [ -z "$state" ] || [[ $state == Z* ]]
}

# Waits for quadray to end and keeps its exit status.
wait_for_exit() {
    if poll "$1" quadray_ended; then
        wait "$QUADRAY_PID"
        QUADRAY_STATUS=$?
        QUADRAY_PID=""
        return 0
    fi
    return 1
}

# Key presses go to the focused window through the XTEST extension, like a keyboard's.
press() { xdotool key --clearmodifiers "$1"; }
