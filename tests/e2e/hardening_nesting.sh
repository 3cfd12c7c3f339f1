#!/usr/bin/env bash
# Statements, texture blocks, parentheses, signs, function calls and declarations nested far
# deeper than any scene: each must be reported with its line instead of overflowing the stack.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

DEPTH=100000
TOO_DEEP="ERROR (9000): parser - Expected at most 1000 nested levels in line"

nested() {  # NAME OPENING [TEXT BEFORE] [TEXT AFTER]: OPENING written DEPTH times
    { printf '%s' "${3:-}"; repeat "$2" "$DEPTH"; printf '%s\n' "${4:-}"; } |
        expect_generated "$DEPTH x $1" "$TOO_DEEP"
}

nested "union" 'union { '
nested "object" 'object { '
nested "texture" 'texture { ' 'sphere { <0, 0, 0>, 1 '
nested "parentheses" '(' 'sphere { <0, 0, 0>, '
nested "minus signs" '-' 'sphere { <0, 0, 0>, '
nested "plus signs" '+ ' 'sphere { <0, 0, 0>, '
nested "products" '2 * ' 'sphere { <0, 0, 0>, '
nested "function calls" 'sqrt(' 'sphere { <0, 0, 0>, '

# Nesting spread over lines is reported at the line where the limit is passed.
{ printf 'sphere { <0, 0, 0>,\n'; yes '((' | head -n 600; } |
    expect_generated "parentheses over 600 lines" "$TOO_DEEP 501"

# Declarations written inside declarations nest in the tokenizer rather than the parser.
repeat '#declare A = ' "$DEPTH" | expect_generated "$DEPTH x nested declarations" \
    "ERROR (9001): tokenizer - Declarations nested too deeply in line 1"

# Just under both limits at once, the deepest stack a scene can build: 900 parentheses with
# 990 nested declarations inside, the innermost one holding an unknown token.
{ printf 'sphere { <0, 0, 0>, '; repeat '(' 900; repeat '#declare A = ' 990; printf '$deepest\n'; } |
    expect_generated "900 parentheses holding 990 declarations" \
    "ERROR (9001): tokenizer - Unknown token in line 1 : \$deepest"

finish
