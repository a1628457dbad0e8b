#!/usr/bin/env bash
# Builds the native tools and runs the main job: the installer on the
# simulated Windows machine, with its timeline printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh main
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwell-sim
build/default/tools/tarnwell-sim "$@"
