#!/bin/sh
# Configures and builds into build/ (Release with debug info), the benchmarks with it so
# that a change which breaks them fails the build; the tests run each once as well (their
# timings are measured by hand, with farm-bench).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORQ_BUILD_BENCH=ON "$@" >/dev/null
cmake --build build
