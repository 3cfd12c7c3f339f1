#!/usr/bin/env bash
# Includes, loops and macros that would run on forever end with an error line of their own:
# includes nested past 32, a file including itself through others, loops past their rounds.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

# expect_placed NAME STDOUT STDERR: the scene in cycle.pov ends with the line STDOUT, and
# standard error holds exactly STDERR, the same error at its place (in an included file, there).
expect_placed() {
    run_quadray
    if [ "$status" -eq 255 ] && [ "$output" == "$2" ] && [ "$(cat "$WORK/stderr")" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s (status %s)\n  expected: %s\n  actual:   %s\n' "$1" "$status" "$2" "$output"
        sed 's/^/  stderr:   /' "$WORK/stderr" | head -n 3
    fi
}

# incK.inc includes inc(K+1).inc, down to inc34.inc, which holds a stray word.
for i in $(seq 1 33); do printf '#include "inc%d.inc"\n' $((i + 1)) >"$WORK/objects/inc$i.inc"; done
printf '$deepest\n' >"$WORK/objects/inc34.inc"
printf '#include "inc3.inc"\n' >"$WORK/objects/cycle.pov"
expect_placed "includes nested 32 deep" "ERROR (9001): tokenizer - Unknown token in line 1 : \$deepest" \
    "objects/inc34.inc:1: error: Unknown token in line 1 : \$deepest [tokenizer 9001]"
printf '#include "inc2.inc"\n' >"$WORK/objects/cycle.pov"
expect_placed "includes nested 33 deep" "ERROR (9001): tokenizer - Includes nested deeper than 32 in line 1" \
    "objects/inc33.inc:1: error: Includes nested deeper than 32 in line 1 [tokenizer 9001]"
printf '#include "inc1.inc"\n' | tee "$WORK/objects/inc3.inc" >"$WORK/objects/cycle.pov"
expect_placed "a file including itself through others" \
    "ERROR (9001): tokenizer - 'objects/inc1.inc' includes itself in line 1" \
    "objects/inc3.inc:1: error: 'objects/inc1.inc' includes itself in line 1 [tokenizer 9001]"

printf 'union {\n #for (I, 0, 1e12)\n  #for (J, 0, 999)\n  #end\n #end\n}\n' >"$WORK/objects/cycle.pov"
expect_placed "rounds of nested loops" "ERROR (9001): tokenizer - More than 10000000 loop rounds in line 3" \
    "objects/cycle.pov:3: error: More than 10000000 loop rounds in line 3 [tokenizer 9001]"
printf '#macro Twice(N) Twice(N + 1) + Twice(N + 1) #end\nsphere { <0, 0, 0>, Twice(0) }\n' >"$WORK/objects/cycle.pov"
expect_placed "macro calls too deep" "ERROR (9001): tokenizer - Macro calls nested deeper than 64 in line 1" \
    "objects/cycle.pov:1: error: Macro calls nested deeper than 64 in line 1 [tokenizer 9001]"

finish
