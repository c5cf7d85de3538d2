#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. The real servers the
# integration tests need are started and stopped by CTest itself (fixtures).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$root"
./scripts/install-deps.sh
./scripts/build.sh
build="${VELMORA_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure --no-tests=error "$@"
