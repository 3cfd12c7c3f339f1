#!/usr/bin/env bash
# Scenes of two megabytes: many members in one CSG statement, and many declarations each used
# once. Their cost must grow with the file, not with its square: a file this size loads in
# about a second, while a loader that walks every member list or re-reads the whole file at
# every use takes minutes.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

MEMBERS=100000
awk -v n="$MEMBERS" 'BEGIN {
    print "union {"
    for (i = 0; i < n; i++) printf "sphere { <%d, 0, 0>, 1 }\n", i
    print "$end"
}' | expect_generated "union of $MEMBERS spheres" \
    "ERROR (9001): tokenizer - Unknown token in line $((MEMBERS + 2)) : \$end"

USES=40000
awk -v n="$USES" 'BEGIN {
    for (i = 0; i < n; i++) printf "#declare D%d = %d;\n", i, i
    print "union {"
    for (i = 0; i < n; i++) printf "sphere { <D%d, 0, 0>, 1 }\n", i
    print "$end"
}' | expect_generated "$USES declarations used once each" \
    "ERROR (9001): tokenizer - Unknown token in line $((2 * USES + 2)) : \$end"

finish
