#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, process and real-window); then
# runs them again built with AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes the
# scene loader for a minute.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
(cd build && ctest --output-on-failure -j2 --timeout 600)
tools/sanitize.sh
tools/fuzz.sh 60
