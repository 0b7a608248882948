#!/usr/bin/env bash
# Sets up (packages, build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
BUILD_DIR=${ZEDORA_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
