#!/bin/sh
# Builds VORQ with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# every test there; any report fails the run.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan
cd build-asan
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$(pwd)/../scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
VORQ_SLOW_TEST_SHARE=0.2 \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2
