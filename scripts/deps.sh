#!/usr/bin/env bash
# Installs the Debian packages the project needs; skips those already present.
# Usage: scripts/deps.sh [build|test|display|fuzz|package|windows]
set -euo pipefail
mode=${1:-build}
# qt6-wayland: the native platform in a Wayland session without XWayland; libglib2.0-bin: gio,
# which launches desktop entries that a reminder opens; qt6-translations-l10n: Qt's own texts in
# Russian.
pkgs=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libqt6dbus6
      libsqlite3-dev libsndfile1-dev libpulse-dev sqlite3 qt6-wayland libglib2.0-bin
      qt6-translations-l10n)
if [ "$mode" = display ]; then
    pkgs=(xvfb icewm)
fi
# clang with its runtime libraries: libFuzzer and the sanitizers of the fuzz targets.
if [ "$mode" = fuzz ]; then
    pkgs+=(clang libclang-rt-14-dev)
fi
# The .deb and the checks of what it installs: icons rendered from the SVG, the desktop entry
# and AppStream file validated, lintian.
if [ "$mode" = package ]; then
    pkgs+=(dpkg-dev fakeroot file lintian appstream desktop-file-utils librsvg2-bin)
fi
# The Windows layer cross-compiled with its tests (GoogleTest from Debian's sources) and run
# under Wine. The posix thread model: the win32 one has no std::thread in gcc 12.
if [ "$mode" = windows ]; then
    pkgs=(cmake g++-mingw-w64-x86-64-posix googletest wine wine64)
fi
if [ "$mode" = test ]; then
    pkgs+=(googletest libgtest-dev libgmock-dev libbenchmark-dev
           desktop-file-utils appstream librsvg2-bin
           xvfb icewm xdotool x11-utils imagemagick faketime dbus python3-dbusmock
           pulseaudio pulseaudio-utils sox at-spi2-core gir1.2-atspi-2.0 python3-gi
           weston xwayland
           # the clients that drive the session-bus interface in the tests: busctl, python3-dbus
           systemd python3-dbus)
fi
missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run (a second checkout's set-up) instead of failing on its lock.
lock=(-o DPkg::Lock::Timeout=900)
$sudo apt-get "${lock[@]}" update -qq
$sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
