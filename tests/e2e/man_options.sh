#!/usr/bin/env bash
# Each manual page names exactly the options that its program's --help names.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"

# Options as words, one a line: one or two dashes and a letter, at the start of a word.
options() {
    grep -oE '(^|[ ,(])--?[a-z][a-z-]*' | sed 's/^[ ,(]//' | sort -u
}

for program in quadray quadray-render; do
    "$1/$program" --help | options >"$OUT/help"
    sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "docs/man/$program.1" | options >"$OUT/page"
    expect "$program: options only in --help" "" "$(comm -23 "$OUT/help" "$OUT/page" | tr '\n' ' ')"
    expect "$program: options only in the manual page" "" "$(comm -13 "$OUT/help" "$OUT/page" | tr '\n' ' ')"
done

finish
