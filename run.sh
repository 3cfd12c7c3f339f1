#!/usr/bin/env bash
# Installs what is missing, builds, and opens quadray on the bundled scene.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
exec build/quadray "$@"
