#!/usr/bin/env bash
# Builds quadray and makes its Debian package, build/quadray_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
cd build
cpack -G DEB
