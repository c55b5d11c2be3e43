#!/bin/sh
# Builds the project optimised and runs every benchmark program (bench_* in
# the build's bin folder); each compares itself with a reference tool in the
# same run and prints the ratio. The window benchmarks (bench_dialogmake,
# bench_albumdialogs) need an X server: xvfb-run -a sh scripts/bench.sh.
#   scripts/bench.sh [build dir]
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build-bench}
sh scripts/install-deps.sh --bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DSNAPFOLIO_TESTS=OFF >/dev/null
cmake --build "$dir" -j 2
status=0
for b in "$dir"/bin/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" || status=1
done
exit $status
