#!/usr/bin/env bash
# Installs what the tests need, builds everything (benchmarks included) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
build=${CHIMEWELL_BUILD_DIR:-build}
source scripts/ccache-launcher.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure --timeout 600 ${CHIMEWELL_CTEST_ARGS:-}
