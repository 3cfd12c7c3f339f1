#!/usr/bin/env bash
# Both programs' command lines through the real process: --help prints the usage on standard
# output with status 0; a refused command line prints what is wrong and the usage on standard
# error with status 2, before anything is loaded; scene and output errors keep their own
# messages and statuses.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"
BUILD=$(cd "$1" && pwd)

refused() {  # program, the line naming the fault, the arguments
    local program=$1 problem=$2
    shift 2
    env -u DISPLAY "$BUILD/$program" "$@" >"$OUT/stdout" 2>"$OUT/stderr"
    local status=$?
    expect "status of $program [$*]" 2 "$status"
    expect "stdout of $program [$*]" "" "$(cat "$OUT/stdout")"
    expect "problem of $program [$*]" "$program: $problem" "$(head -n 1 "$OUT/stderr")"
    expect "usage of $program [$*]" "usage: $program [options] [FILE]" "$(sed -n 2p "$OUT/stderr")"
}

refused quadray-render "'--bogus' is not an option" --report --border --bogus
refused quadray-render "--size: '0x480' is not WIDTHxHEIGHT with sides from 1 to 16384" --size 0x480
refused quadray-render "--camera-move needs a value" --camera-move
refused quadray-render "--out: 'picture.jpg' does not end in .png" --out picture.jpg
refused quadray-render "--threads: 'many' is not a thread count from 1 to 1024" --threads many
refused quadray "'--size' is not an option" --size 8x8
refused quadray "'a.pov': only one scene file can be given" b.pov a.pov

for program in quadray quadray-render; do
    env -u DISPLAY "$BUILD/$program" --help >"$OUT/stdout" 2>"$OUT/stderr"
    expect "status of $program --help" 0 "$?"
    expect "first line of $program --help" "usage: $program [options] [FILE]" "$(head -n 1 "$OUT/stdout")"
    expect "stderr of $program --help" "" "$(cat "$OUT/stderr")"
done

# --version answers at once, without a display and before any scene is read.
version=$(sed -n 's/^project(quadray VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for program in quadray quadray-render; do
    output=$(cd "$OUT" && env -u DISPLAY "$BUILD/$program" --version 2>"$OUT/stderr")
    expect "status of $program --version" 0 "$?"
    expect "$program --version" "$program $version" "$output"
    expect "stderr of $program --version" "" "$(cat "$OUT/stderr")"
done

# Progress: a run of about two seconds draws a progress line on standard error when that is a
# terminal and clears it before the timing line; not with --quiet, nor into a file.
on_terminal() {  # arguments: standard error of quadray-render on a terminal, lines split at \r
    python3 - "$RENDER" "$@" <<'EOF' | tr '\r' '\n'
import os, pty, subprocess, sys
main, terminal = pty.openpty()
run = subprocess.Popen(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=terminal)
os.close(terminal)
output = b""
while True:
    try:
        chunk = os.read(main, 4096)
    except OSError:  # the last writer has gone
        break
    if not chunk:
        break
    output += chunk
run.wait()
sys.stdout.write(output.decode())
EOF
}
long_run=(--dir tests/scenes/golden --mode full --samples 6 --threads 1)
on_terminal "${long_run[@]}" >"$OUT/terminal"
expect "progress on a terminal" 1 "$(grep -c -m 1 '^ *[0-9]*% done, 0:0[0-9] so far, 0:0[0-9] left.\[K$' "$OUT/terminal")"
expect "progress cleared before the timing line" 1 "$(grep -c $'^\e\\[K1 frames, ' "$OUT/terminal")"
on_terminal "${long_run[@]}" --quiet >"$OUT/quiet"
expect "no progress with --quiet" 0 "$(grep -c 'done' "$OUT/quiet")"
"$RENDER" "${long_run[@]}" >/dev/null 2>"$OUT/stderr"
expect "no progress into a file" "1 frames" "$(cut -d , -f 1 "$OUT/stderr")"

# A directory without the scene files fails in the tokenizer, as quadray does.
"$RENDER" --dir "$OUT/none" >"$OUT/stdout" 2>/dev/null
expect "status without scene files" 255 "$?"
expect "message without scene files" "ERROR (9001): tokenizer - file not found: $OUT/none/objects/cycle.pov" \
    "$(cat "$OUT/stdout")"
"$RENDER" "$OUT/none.pov" >"$OUT/stdout" 2>/dev/null
expect "status without the scene file" 255 "$?"
expect "message without the scene file" "ERROR (9001): tokenizer - file not found: $OUT/none.pov" "$(cat "$OUT/stdout")"

# A picture that cannot be written is refused before the scene is even loaded.
"$RENDER" --dir tests/scenes/render_empty --size 8x8 --out "$OUT/none/picture.png" >"$OUT/stdout" 2>"$OUT/stderr"
expect "status of an unwritable picture" 1 "$?"
expect "stdout of an unwritable picture" "" "$(cat "$OUT/stdout")"
expect "stderr of an unwritable picture" "quadray-render: cannot write $OUT/none/picture.png" "$(cat "$OUT/stderr")"

# A picture written in bands, whose writing fails on the way (a full disk), is no success.
ln -s /dev/full "$OUT/full.png"
"$RENDER" --dir tests/scenes/render_empty --mode full --size 8x8 --out "$OUT/full.png" >/dev/null 2>"$OUT/stderr"
expect "status of a full disk" 1 "$?"
expect "message of a full disk" "quadray-render: cannot write $OUT/full.png" "$(head -n 1 "$OUT/stderr")"

# One file is the whole scene.
printf 'sphere { <0, 0, 0>, 1 }\n' >"$OUT/one.pov"
"$RENDER" --size 8x8 --report "$OUT/one.pov" >"$OUT/stdout" 2>/dev/null
expect "status of a one-file scene" 0 "$?"
expect "counts of a one-file scene" "1 primitives, 0 CSG nodes" "$(grep 'primitives,' "$OUT/stdout")"

finish
