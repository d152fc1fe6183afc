#!/usr/bin/env bash
# Builds the Debian package (chimewell_VERSION-1_ARCH.deb, left in the checkout's root) with
# Debian's hardening flags, reproducibly, and checks it: the desktop entry, the AppStream file,
# lintian.
# Install it with: sudo apt install ./chimewell_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
scripts/deps.sh package
build=${CHIMEWELL_PACKAGE_BUILD_DIR:-build-package}
source scripts/ccache-launcher.sh
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
# Reproducible: every time stamp in the package is the changelog's latest entry's.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -STimestamp)
export SOURCE_DATE_EPOCH
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCHIMEWELL_PACKAGE=ON -DCHIMEWELL_TESTS=OFF -DCHIMEWELL_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/chimewell_*.deb
(cd "$build" && cpack -G DEB)
desktop-file-validate resources/org.chimewell.Chimewell.desktop
appstreamcli validate --no-net resources/org.chimewell.Chimewell.metainfo.xml
deb=$(basename "$(ls "$build"/chimewell_*.deb)")
cp "$build/$deb" .
lintian --fail-on error --info "$deb"
echo "Built $deb"
