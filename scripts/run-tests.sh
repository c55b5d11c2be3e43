#!/bin/sh
# Installs what the tests need, builds one tree with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole test suite there. Starts its
# own X server when DISPLAY is unset.
#   scripts/run-tests.sh [--no-sanitize] [ctest arguments...]
# --no-sanitize runs the suite in the normal build tree (build/) instead.
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
if [ "$sanitize" = 1 ]; then
    dir=build-asan
    build "$dir" -DSNAPFOLIO_SANITIZE=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1"
else
    dir=build
    build "$dir" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
fi

# The album engine's workers under ThreadSanitizer, in a third tree that
# builds only the engine's test programs; skipped when ctest arguments pick
# some tests, or with SNAPFOLIO_NO_TSAN=1.
tsan_status=0
if [ "$sanitize" = 1 ] && [ $# -eq 0 ] && [ "${SNAPFOLIO_NO_TSAN:-0}" != 1 ]; then
    sh scripts/tsan-tests.sh "$jobs" || tsan_status=1
fi

# One X server for every test that opens a window; xvfb-run passes the
# suite's exit status through.
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1080x24" sh scripts/ctest-all.sh "$jobs" "$dir" "$@" && status=0 || status=$?
else
    sh scripts/ctest-all.sh "$jobs" "$dir" "$@" && status=0 || status=$?
fi
if [ "$tsan_status" != 0 ]; then
    echo "the ThreadSanitizer run of the engine's tests failed (see above)"
    [ "$status" != 0 ] || status=1
fi
exit "$status"
