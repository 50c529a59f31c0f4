#!/bin/sh
# Builds VORQ and starts it on the demo database in ./demo-root (created when missing).
set -e
cd "$(dirname "$0")"
scripts/ensure-packages.sh
scripts/build.sh
ROOT="$(pwd)/demo-root"
if [ ! -d "$ROOT/DatFiles" ]; then
    echo "Creating a demo database, with a year of past sessions, in $ROOT"
    build/tools/demodb/vorq-demodb --root "$ROOT" --sessions
fi
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "No display: VORQ is a desktop program and needs one."
    echo "Run this on a desktop, or under a virtual display: xvfb-run ./run.sh"
    exit 1
fi
VORQ_ROOT="$ROOT" exec build/src/app/vorq "$@"
