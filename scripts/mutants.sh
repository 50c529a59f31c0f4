#!/bin/sh
# Measures how many small faults in the core's decision code the tests catch: clones the
# committed HEAD into a temporary folder, builds it there (through ccache when it is
# installed), and runs the mutation sampler on it with the given seed and count. The work
# tree is never touched. Takes one to two minutes per change; CI does not run it.
#   scripts/mutants.sh SEED COUNT
# MUTANTS_PY names the sampler (default: ../shared/tools/mutants.py beside the checkout);
# KEEP=1 keeps the temporary clone and its build.
set -e
if [ $# -ne 2 ]; then
    echo "usage: $0 SEED COUNT" >&2
    exit 2
fi
seed=$1
count=$2
repo=$(cd "$(dirname "$0")/.." && pwd)
sampler=${MUTANTS_PY:-$repo/../shared/tools/mutants.py}
if [ ! -f "$sampler" ]; then
    echo "$0: no sampler at $sampler (set MUTANTS_PY)" >&2
    exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vorq-mutants.XXXXXX")
if [ "${KEEP:-0}" != 1 ]; then
    trap 'rm -rf "$work"' EXIT INT TERM
fi
git clone -q "$repo" "$work/src"
launcher=
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
# With the range checks kept, a change that makes a loop read one past the end fails where a
# test reaches that end, instead of reading a neighbouring byte unseen.
# shellcheck disable=SC2086
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORQ_RANGE_CHECKS=ON $launcher \
    >/dev/null
cmake --build "$work/build" >/dev/null
echo "mutation sample: seed $seed, count $count, commit $(git -C "$work/src" rev-parse --short HEAD)"
python3 "$sampler" "$work/src" "$work/build" "$count" "$seed"
