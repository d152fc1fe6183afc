#!/usr/bin/env bash
# Installs what the program needs, builds it and starts Chimly in the tray.
# With no display at all it starts a virtual one (Xvfb with a window manager that
# has a tray) and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCHIMEWELL_TESTS=OFF -DCHIMEWELL_BENCH=OFF >/dev/null
cmake --build build-release -j"$(nproc)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build-release/program/Chimly "$@"
fi
scripts/deps.sh display
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r num <&3
export DISPLAY=":$num"
echo "No display is set: running on a virtual display $DISPLAY (Xvfb with icewm)."
icewm >/dev/null 2>&1 &
wm=$!
trap 'kill $wm $xvfb 2>/dev/null' EXIT
build-release/program/Chimly "$@"
