#!/usr/bin/env bash
# Installs what the tests need, builds everything (benchmarks included) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
build=${CHIMEWELL_BUILD_DIR:-build}
launcher=()
if command -v ccache >/dev/null; then
    # Paths relative to the checkout, so that other checkouts share the cache.
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure --timeout 600 ${CHIMEWELL_CTEST_ARGS:-}
