#!/usr/bin/env bash
# Runs every ```scene example of docs/LANGUAGE.md as a scene file of its own through
# quadray-render and checks what its leading comments promise, so the reference cannot drift:
#   // expect: LINE    the standard output lines, all of them, in order
#   // stderr: LINE    a line that must be on standard error (the file is called scene.pov)
#   // lit: X Y        pixel X, Y (Y from the bottom) of a 40x30 one-trace-per-pixel picture is
#   // black: X Y      not black, or black
# Standard error must hold no warning that is not promised. The exit status must be 255 when an
# ERROR line is expected, 0 otherwise.
set -u
PROGRAM="$(cd "$1" && pwd)/quadray-render"
DOC="$(pwd)/docs/LANGUAGE.md"
PIXELS="$(pwd)/tests/e2e/png_pixels.py"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
passed=0
failed=0

# Each example into WORK/<line of its fence>/scene.pov; a ```include NAME block before it is the
# file NAME beside it, for the example to include.
mkdir "$WORK/pending"
awk -v work="$WORK" '
    /^```scene[[:space:]]*$/ {
        dir = work "/" NR; system("mkdir " dir " && mv " work "/pending/* " dir " 2>/dev/null")
        file = dir "/scene.pov"; next
    }
    /^```include [A-Za-z0-9_.]+[[:space:]]*$/ { file = work "/pending/" $2; next }
    /^```/ && file != "" { close(file); file = ""; next }
    file != "" { print > file }
' "$DOC"
rmdir "$WORK/pending"

fail() {
    failed=$((failed + 1))
    printf 'FAIL example at docs/LANGUAGE.md:%s: %s\n' "$1" "$2"
    sed 's/^/  stdout: /' "$dir/stdout"
    grep -v ' frames, ' "$dir/stderr" | sed 's/^/  stderr: /'
}

# Prints the first promised pixel that is not as promised, and fails, if there is one.
pixels_as_promised() {
    grep -q '^// \(lit\|black\): ' "$dir/scene.pov" || return 0
    (cd "$dir" && env -u DISPLAY timeout 60 "$PROGRAM" --quiet --mode full --size 40x30 --out picture.png scene.pov >/dev/null 2>&1)
    local promise x y colour
    while read -r promise x y; do
        colour=$(python3 "$PIXELS" pixel "$dir/picture.png" "$x" "$y" 2>&1)
        if [[ -z $colour || $colour == *[!0-9\ ]* || ($promise == lit: && $colour == "0 0 0") ||
              ($promise == black: && $colour != "0 0 0") ]]; then
            echo "pixel $x $y is ${colour:-missing}, promised ${promise%:}"
            return 1
        fi
    done < <(sed -n 's#^// \(lit:\|black:\) #\1 #p' "$dir/scene.pov")
}

for at in $(ls "$WORK" | sort -n); do
    dir=$WORK/$at
    expected_stdout=$(sed -n 's|^// expect: ||p' "$dir/scene.pov")
    expected_stderr=$(sed -n 's|^// stderr: ||p' "$dir/scene.pov")
    (cd "$dir" && env -u DISPLAY timeout 60 "$PROGRAM" --size 16x16 scene.pov >stdout 2>stderr)
    status=$?
    want_status=0
    grep -q '^ERROR' <<<"$expected_stdout" && want_status=255

    if [ -z "$expected_stdout" ]; then
        fail "$at" "no // expect: line"
    elif [ "$(cat "$dir/stdout")" != "$expected_stdout" ]; then
        fail "$at" "standard output differs; expected: $expected_stdout"
    elif [ "$status" -ne "$want_status" ]; then
        fail "$at" "exit status $status, expected $want_status"
    elif missing=$(grep -vxF -f "$dir/stderr" <<<"$expected_stderr") && [ -n "$expected_stderr" ]; then
        fail "$at" "missing on standard error: $missing"
    elif extra=$(grep ': warning: ' "$dir/stderr" | grep -vxF "${expected_stderr:-^}"); then
        fail "$at" "unexpected warning: $extra"
    elif ! wrong=$(pixels_as_promised); then
        fail "$at" "picture: $wrong"
    else
        passed=$((passed + 1))
    fi
done

# --quiet drops the warnings and nothing else: one example that promises a warning, again.
quiet_at=$(grep -l '^// stderr: .*: warning: ' "$WORK"/*/scene.pov | head -n 1 | xargs -r dirname)
if [ -n "$quiet_at" ]; then
    dir=$quiet_at
    (cd "$dir" && env -u DISPLAY timeout 60 "$PROGRAM" --quiet --size 16x16 scene.pov >quiet 2>stderr)
    if grep -q ': warning: ' "$dir/stderr" || ! cmp -s "$dir/quiet" "$dir/stdout"; then
        fail "$(basename "$dir")" "--quiet still warns or changes standard output"
    else
        passed=$((passed + 1))
    fi
fi

printf 'language reference: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
