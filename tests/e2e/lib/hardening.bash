# Shared steps of the hardening tests: quadray reads one hostile scene file as
# objects/cycle.pov (beside two trivial scene files) under a time and a memory limit, and must
# end with exactly one "ERROR (" line on standard output, nothing on standard error but
# warnings and that line with its place, and exit status 255. Sourced by tests/e2e/hardening_*.sh with the build directory as $1.

BUILD=$(cd "$1" && pwd)
HARDENING_SCENES="$(pwd)/tests/scenes/hardening"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
shopt -s lastpipe  # a test fed by a pipe still counts in this shell
passed=0
failed=0

# Generous for files of a few megabytes; a loop or an exponential blow-up never ends in time.
TIME_LIMIT=20
# Address space of the process (the program, its libraries and the scene), in kilobytes.
MEMORY_LIMIT_KB=$((512 * 1024))
# Instrumented frames are several times larger, so the sanitized program gets the stack that
# the deepest scene needs of it (the plain program needs under 2 MB of its 8).
SANITIZED_STACK_KB=$((32 * 1024))
# Under AddressSanitizer the address space is mostly shadow memory, so the sanitizer's own
# limits stand in for ulimit -v.
SANITIZED_OPTIONS="detect_leaks=0:quarantine_size_mb=64:max_allocation_size_mb=256:hard_rss_limit_mb=512:allocator_may_return_null=0"

mkdir -p "$WORK/objects"
printf 'sphere { <0, 0, 0>, 1 }\n' >"$WORK/objects/arena.pov"
printf 'sphere { <0, 0, 0>, 1 }\n' >"$WORK/objects/recognizer.pov"

sanitized() { grep -q -a __asan_init "$BUILD/quadray"; }

# Runs quadray on the scene in $WORK/objects/cycle.pov; leaves $status, $output and
# $WORK/stderr.
run_quadray() {
    if sanitized; then
        output=$(cd "$WORK" && ulimit -s "$SANITIZED_STACK_KB" && ASAN_OPTIONS=$SANITIZED_OPTIONS env -u DISPLAY timeout -s KILL "$TIME_LIMIT" \
                 "$BUILD/quadray" 2>"$WORK/stderr")
    else
        output=$(cd "$WORK" && ulimit -v "$MEMORY_LIMIT_KB" && env -u DISPLAY timeout -s KILL "$TIME_LIMIT" \
                 "$BUILD/quadray" 2>"$WORK/stderr")
    fi
    status=$?
}

# True when standard error holds anything but the scene's warnings and the error line repeated
# after its place ("objects/cycle.pov:LINE: ").
unexpected_stderr() {
    local line
    while IFS= read -r line; do
        [[ $line == objects/cycle.pov:* ]] || return 0
        line=${line#objects/cycle.pov:}
        line=${line#"${line%%[!0-9]*}"}
        [[ $line == ": warning: "* || $line == ": error: ${output#ERROR (*): * - } ["* ]] || return 0
    done <"$WORK/stderr"
    return 1
}

# expect_error NAME PREFIX: the scene in $WORK/objects/cycle.pov must end with one line that
# starts with PREFIX (itself starting with "ERROR (").
expect_error() {
    local name=$1 prefix=$2 problem=""
    local started=$SECONDS
    run_quadray
    local lines
    lines=$(printf '%s' "$output" | grep -c '')
    if [ "$status" -eq 137 ]; then
        problem="killed after $TIME_LIMIT s"
    elif [ "$status" -ne 255 ]; then
        problem="exit status $status"
    elif [ "$lines" -ne 1 ]; then
        problem="$lines output lines"
    elif [[ $output != "$prefix"* ]]; then
        problem="unexpected line"
    elif unexpected_stderr; then
        problem="output on standard error"
    fi
    if [ -z "$problem" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: %s after %d s\n  expected: %s...\n  actual:   %.300s\n' "$name" "$problem" \
            $((SECONDS - started)) "$prefix" "$output"
        head -c 2000 "$WORK/stderr" | head -n 8 | sed 's/^/  stderr:   /'
    fi
}

# expect_generated NAME PREFIX: the scene comes from standard input.
expect_generated() {
    cat >"$WORK/objects/cycle.pov"
    expect_error "$@"
}

# run_group GROUP: every tests/scenes/hardening/GROUP_*.pov, each expecting what its first
# line says ("// expect: ERROR (...): ..."; the rest of the line is matched as a prefix).
run_group() {
    local scene name expectation
    for scene in "$HARDENING_SCENES/$1"_*.pov; do
        name=$(basename "$scene")
        expectation=$(head -n 1 "$scene" | tr -d '\r' | sed -n 's|^// expect: ||p')
        if [[ $expectation != "ERROR ("* ]]; then
            failed=$((failed + 1))
            printf 'FAIL %s: no "// expect: ERROR (" on its first line\n' "$name"
            continue
        fi
        cp "$scene" "$WORK/objects/cycle.pov"
        expect_error "$name" "$expectation"
    done
}

# repeat TEXT COUNT: TEXT written COUNT times, without a line end.
repeat() { yes "$1" | head -n "$2" | tr -d "\n"; }

finish() {
    printf '%s: %d passed, %d failed\n' "$(basename "$0" .sh)" "$passed" "$failed"
    [ "$failed" -eq 0 ]
    exit
}
