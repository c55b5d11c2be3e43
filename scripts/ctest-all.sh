#!/bin/sh
# Runs ctest in every given build tree; fails when any suite fails.
#   scripts/ctest-all.sh <jobs> "<build dirs>" [ctest arguments...]
set -u
jobs=$1; dirs=$2; shift 2
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for d in $dirs; do
    echo "== ctest in $d"
    ctest --test-dir "$d" --no-tests=error --output-on-failure -j "$jobs" "$@" || status=1
done
exit $status
