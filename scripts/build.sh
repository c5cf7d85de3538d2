#!/usr/bin/env bash
# Configures and builds the project into $VELMORA_BUILD_DIR (default ./build).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
jobs="${VELMORA_JOBS:-$(nproc)}"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja ${VELMORA_CMAKE_ARGS:-}
fi
cmake --build "$build" -j "$jobs"
