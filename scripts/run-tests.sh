#!/bin/sh
# Installs what the tests need, builds everything and runs the whole test
# suite twice: a normal build, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer. Starts its own X server when DISPLAY is unset.
#   scripts/run-tests.sh [--no-sanitize] [ctest arguments...]
set -eu
cd "$(dirname "$0")/.."

sanitize=1
if [ "${1:-}" = "--no-sanitize" ]; then sanitize=0; shift; fi

sh scripts/install-deps.sh --test

jobs=$(nproc 2>/dev/null || echo 2)
# The benchmarks are built and run by scripts/bench.sh, not here.
build() { # build <dir> <cmake args...>
    dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNAPFOLIO_BENCH=OFF "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

# Line tables are enough debug information for test failures and sanitizer
# reports, and they compile much faster than full debug information.
build build "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
dirs="build"
if [ "$sanitize" = 1 ]; then
    build build-asan -DSNAPFOLIO_SANITIZE=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1"
    dirs="build build-asan"
fi

# One X server for every test that opens a window; xvfb-run passes the
# suites' exit status through.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" sh scripts/ctest-all.sh "$jobs" "$dirs" "$@"
fi
exec sh scripts/ctest-all.sh "$jobs" "$dirs" "$@"
