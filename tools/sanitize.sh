#!/usr/bin/env bash
# The sanitizer stage: builds quadray and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs the tests there. Any sanitizer report
# ends the reporting process with a failure, so it fails its test.
#   tools/sanitize.sh [extra ctest options...]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-asan

echo "sanitize: building $BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRAY_SANITIZE=ON -DQUADRAY_BENCH=OFF \
    >"$BUILD.log" 2>&1 || { cat "$BUILD.log"; exit 1; }
cmake --build "$BUILD" -j"$(nproc)" >>"$BUILD.log" 2>&1 || { grep -B2 -A8 'error' "$BUILD.log" | head -n 60; exit 1; }

echo "sanitize: running the tests"
cd "$BUILD"
UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 --timeout 900 "$@"
