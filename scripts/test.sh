#!/usr/bin/env bash
# Builds everything from a clean configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=${KVAPI_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVAPI_WERROR=ON
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
