#!/usr/bin/env bash
# Prism point counts that promise far more points than the file holds, or fewer than none:
# the points are read as they come, so no count reserves memory it was never given.
set -u
source "$(dirname "$0")/lib/hardening.bash" "$1"

run_group prism

# A real outline of 100000 points is read in full; the error after it shows it was reached.
{ printf 'prism { linear_sweep 0, 1, 100000'
  awk 'BEGIN { for (i = 0; i < 100000; i++) printf ", <%d, %d>", i % 317, i % 211 }'
  printf '\n$after_the_points\n'; } |
    expect_generated "100000 points" "ERROR (9001): tokenizer - Unknown token in line 2 : \$after_the_points"

finish
