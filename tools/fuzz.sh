#!/usr/bin/env bash
# The fuzz stage: builds the scene-loader fuzz target with clang into build-fuzz/ and runs it
# for a while on a corpus seeded from the bundled and the test scenes. Fails on any crash,
# sanitizer report, hang or memory blow-up, and leaves the input that caused it in
# build-fuzz/findings/. Skipped when clang++ is missing.
#   tools/fuzz.sh [SECONDS [extra libFuzzer options...]]     (default 60 s)
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION=${1:-60}
shift || true
BUILD=build-fuzz

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found, stage skipped"
    exit 0
fi

echo "fuzz: building $BUILD/scene_fuzz"
cmake -S . -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUADRAY_FUZZ=ON -DQUADRAY_TESTS=OFF -DQUADRAY_BENCH=OFF >"$BUILD.log" 2>&1 ||
    { cat "$BUILD.log"; exit 1; }
cmake --build "$BUILD" -j"$(nproc)" --target scene_fuzz >>"$BUILD.log" 2>&1 ||
    { tail -n 40 "$BUILD.log"; exit 1; }

# Seeds: every scene file of the repository. The working corpus keeps what earlier runs found.
mkdir -p "$BUILD/seeds" "$BUILD/corpus" "$BUILD/findings"
find objects tests/scenes -name '*.pov' | while read -r scene; do
    cp "$scene" "$BUILD/seeds/$(echo "$scene" | tr '/' '_')"
done

# Limits: an input is at most 16 KB, so a run of 10 s, a single allocation of 256 MB or a
# process of 2 GB is out of all proportion. Leak detection is off because the program never
# frees its scene. The error lines every rejected input prints go to /dev/null (-close_fd_mask).
echo "fuzz: running for $DURATION s"
status=0
ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=64 UBSAN_OPTIONS=print_stacktrace=1 \
    "$BUILD/scene_fuzz" -max_total_time="$DURATION" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=256 -max_len=16384 -close_fd_mask=1 -dict=fuzz/scene.dict \
    -artifact_prefix="$BUILD/findings/" -print_final_stats=1 "$@" \
    "$BUILD/corpus" "$BUILD/seeds" >"$BUILD/fuzz.log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/fuzz.log" | tail -n 1)
if [ "$status" -ne 0 ]; then
    echo "fuzz: FAILED (status $status) after ${runs:-?} runs; the end of $BUILD/fuzz.log:"
    grep -v -e '^#[0-9]' -e '^    #[1-9][0-9]' "$BUILD/fuzz.log" | tail -n 60
    echo "fuzz: findings:"
    ls -l "$BUILD/findings"
    exit 1
fi
echo "fuzz: passed, $runs runs in $DURATION s, corpus of $(ls "$BUILD/corpus" | wc -l) inputs"
