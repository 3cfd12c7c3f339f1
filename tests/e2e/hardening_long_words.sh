#!/usr/bin/env bash
# Words of ten million characters (unknown tokens, names, declared names, numbers) and long
# runs of blanks and comments: read in time and memory in proportion to the file, and an
# unknown token's echo stays short.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

LENGTH=10000000
long() { repeat "$1" "$LENGTH"; }

{ printf '$'; long x; printf '\nsphere { <0, 0, 0>, 1 }\n'; } >"$WORK/objects/cycle.pov"
expect_error "long unknown token" "ERROR (9001): tokenizer - Unknown token in line 1 : \$xxx"
if [ "${#output}" -gt 200 ]; then
    failed=$((failed + 1))
    printf 'FAIL long unknown token: the error line holds %d characters\n' "${#output}"
fi

{ long y; printf ' sphere { <0, 0, 0>, 1 }\n'; } |
    expect_generated "long unknown name" "ERROR (9001): tokenizer - Unknown identifier 'yyy"
{ printf '#declare '; long z; printf ' = 1;\n$declared\n'; } |
    expect_generated "long declared name" "ERROR (9001): tokenizer - Unknown token in line 2 : \$declared"
{ printf '#declare R = 1'; long 0; printf ';\nsphere { <0, 0, 0>, R $number\n'; } |
    expect_generated "long number" "ERROR (9001): tokenizer - Unknown token in line 2 : \$number"
{ long ' '; printf '\n'; long '/'; printf '\n/*'; long '*'; printf '*/ $blank\n'; } |
    expect_generated "long blanks and comments" "ERROR (9001): tokenizer - Unknown token in line 3 : \$blank"
{ printf '#'; long d; printf ' = 1;\n'; } |
    expect_generated "long word after #" "ERROR (9001): tokenizer - Wrong declare statement in line 1"

finish
