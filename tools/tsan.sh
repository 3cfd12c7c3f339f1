#!/usr/bin/env bash
# The race stage: builds quadray with ThreadSanitizer into build-tsan/, runs the render and
# tracing tests there, then the thread-equivalence test, whose quadray-render runs trace,
# draw and count on 2, 4 and 7 threads. Any race report fails the stage.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-tsan

LOG=$BUILD/build.log

echo "tsan: building $BUILD"
mkdir -p "$BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRAY_TSAN=ON -DQUADRAY_BENCH=OFF \
    >"$LOG" 2>&1 || { cat "$LOG"; exit 1; }
cmake --build "$BUILD" -j"$(nproc)" --target test_render test_trace quadray-render >>"$LOG" 2>&1 ||
    { grep -B2 -A8 'error' "$LOG" | head -n 60; exit 1; }

echo "tsan: running the tests"
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/tools/tsan.supp"
"$BUILD/test_render" --gtest_brief=1
"$BUILD/test_trace" --gtest_brief=1
bash tests/e2e/render_threads.sh "$BUILD"
