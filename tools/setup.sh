#!/usr/bin/env bash
# Installs the Debian packages quadray needs (only those missing) and builds it into build/.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libglut-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick python3 procps
  clang libclang-rt-14-dev
  slurm-wlm munge parallel
  lintian dpkg-dev help2man file
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
