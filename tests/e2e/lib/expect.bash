# Shared steps of the headless process tests: the programs, a private temporary directory that
# is removed at exit, counted checks and the closing line. Sourced with the build directory as $1.
RENDER="$1/quadray-render"
PNG="python3 tests/e2e/png_pixels.py"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
passed=0
failed=0

expect() {  # description, expected, actual
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    fi
}

# The closing line, and the status it stands for.
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}
