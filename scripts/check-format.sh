#!/bin/sh
# Fails when a C++ file under src, tests, tools or bench differs from what clang-format
# makes of it with the repository's .clang-format; lists the differences.
set -e
cd "$(dirname "$0")/.."
CLANG_FORMAT="${CLANG_FORMAT:-clang-format}"
# Debian 12's clang-format is version 14, the one the tree is formatted with.
[ "$CLANG_FORMAT" != clang-format ] || scripts/ensure-packages.sh clang-format
command -v "$CLANG_FORMAT" >/dev/null || { echo "check-format: $CLANG_FORMAT not found"; exit 1; }
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' \
    'bench/*.cpp' 'bench/*.h' |
    xargs -0 "$CLANG_FORMAT" --style=file --dry-run -Werror
