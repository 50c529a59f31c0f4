#!/bin/sh
# Builds VORQ and runs every test; fails when any test fails.
set -e
cd "$(dirname "$0")"
scripts/ensure-packages.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
