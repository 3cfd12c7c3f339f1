#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, process and real-window); then
# runs them again built with AddressSanitizer and UndefinedBehaviorSanitizer, runs the render
# and tracing tests with ThreadSanitizer, and fuzzes the scene loader for a minute. Every
# stage runs even when an earlier one failed; the summary at the end names the failed ones.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh

failed=()
stage() {  # NAME COMMAND...
    echo "=== $1"
    local name=$1
    shift
    "$@" || failed+=("$name")
}
stage "tests" bash -c 'cd build && ctest --output-on-failure -j2 --timeout 600'
stage "sanitizer tests" tools/sanitize.sh
stage "thread sanitizer tests" tools/tsan.sh
stage "fuzzing" tools/fuzz.sh 60

if [ ${#failed[@]} -gt 0 ]; then
    echo "=== FAILED: ${failed[*]}"
    exit 1
fi
echo "=== all stages passed"
