#!/usr/bin/env bash
# Each manual page names exactly the options that its program's --help names.
set -u
source "$(dirname "$0")/lib/expect.bash" "$1"

# Options as words: one or two dashes and a letter, at the start of a word.
options() {
    grep -oE '(^|[ ,(])--?[a-z][a-z-]*' | sed 's/^[ ,(]//' | sort -u | tr '\n' ' '
}

for program in quadray quadray-render; do
    from_help=$("$1/$program" --help | options)
    from_page=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "docs/man/$program.1" | options)
    expect "$program: options in the manual page and in --help" "$from_help" "$from_page"
done

finish
