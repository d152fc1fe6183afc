#!/usr/bin/env bash
# Installs what the program needs, builds it and starts Chimly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCHIMEWELL_TESTS=OFF -DCHIMEWELL_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
exec build-release/program/Chimly "$@"
