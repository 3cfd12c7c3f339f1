#!/usr/bin/env bash
# Declarations that use themselves, directly, through each other or through a texture or an
# object, and declarations whose uses multiply: each must end in one error line, in bounded
# time and memory, instead of recursing until the stack or the memory runs out.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

run_group recursion

# A self-reference reached from inside a deep expression: the nesting limit and the
# substitution limit meet without the stack running out.
{ repeat '(' 900; printf 'A'; repeat ')' 900; } | {
    printf '#declare A = (((((A)))));\nsphere { <0, 0, 0>, '; cat; printf ' }\n'
} | expect_generated "self-reference under deep nesting" "ERROR (9000): parser - Expected at most"

finish
