#!/usr/bin/env bash
# Comments and declarations left open at the end of the file: each must end the run with one
# error instead of waiting for a closing mark that never comes.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

run_group unterminated

# Long open stretches are read once, to the end, and reported at the line where they began.
{ printf 'sphere { <0, 0, 0>, 1 /*\n'; yes 'inside a comment ** / *' | head -n 200000; } |
    expect_generated "200000 lines of open comment" "ERROR (9001): tokenizer - Unterminated comment in line 1"
{ printf '#declare U = union {\n'; yes 'sphere { <0, 0, 0>, 1 } {' | head -n 100000; } |
    expect_generated "declared block of 100000 open braces" \
    "ERROR (9001): tokenizer - Unterminated declare statement in line 1"
{ printf '#declare R = 1\n'; yes '+ 1' | head -n 200000; } |
    expect_generated "declared number without its semicolon" \
    "ERROR (9001): tokenizer - Unterminated declare statement in line 1"

finish
