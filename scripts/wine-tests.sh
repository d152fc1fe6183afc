#!/usr/bin/env bash
# Cross-compiles the Windows layer (core without its SQLite store, the texts, the Win32 platform
# services) with MinGW-w64 and runs each of its test programs once under Wine: 64-bit, no
# display, a fresh Wine prefix and home in a temporary folder that is removed afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows
build=${CHIMEWELL_WINDOWS_BUILD_DIR:-build-windows}
source scripts/ccache-launcher.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCHIMEWELL_WINDOWS_LAYER=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix" WINEARCH=win64 WINEDEBUG=-all
# No .NET or Gecko installers; no menu entries or file associations written to the home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" \
    XDG_DATA_HOME="$scratch/home/.local/share" XDG_CACHE_HOME="$scratch/home/.cache"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"
# Stops this prefix's own wineserver, then removes the prefix.
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

failed=0
for test in windows_platform_tests windows_core_tests; do
    echo "== $test (Wine)"
    if ! "$wine64" "$build/tests/windows/$test.exe"; then
        echo "$test FAILED under Wine"
        failed=1
    fi
done
exit $failed
