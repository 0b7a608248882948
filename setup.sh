#!/usr/bin/env bash
# Installs what Zedora needs to build, run and test on Debian 12, then
# configures and builds it. Safe to run again: only missing packages are
# installed, and the build is incremental (ccache + Ninja).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev
  libzip-dev libmariadb-dev libxlsxwriter-dev libhunspell-dev hunspell-de-de
  fonts-liberation2
  libgtest-dev libgmock-dev libbenchmark-dev libshp-dev
  python3-dbfread gdal-bin libdbd-xbase-perl poppler-utils xvfb xauth xdotool imagemagick
  mariadb-server cups printer-driver-cups-pdf desktop-file-utils appstream dpkg-dev python3-openpyxl
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

BUILD_DIR=${ZEDORA_BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
