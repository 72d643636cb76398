#!/usr/bin/env bash
# Installs what is missing, builds, starts the test databases and runs the whole test suite.
#   scripts/test.sh [--preset default|ci|asan|tsan] [extra ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=default
if [ "${1:-}" = "--preset" ]; then preset=$2; shift 2; fi
case $preset in
default) build=$root/build ;;
*) build=$root/build-$preset ;;
esac

bash "$root/scripts/install-packages.sh"
cmake --preset "$preset" -S "$root" > /dev/null
cmake --build --preset "$preset"

datasources=$build/datasources
trap 'bash "$root/tests/datasources/datasources.sh" stop "$datasources"' EXIT
bash "$root/tests/datasources/datasources.sh" all "$datasources"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$root/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1}
ctest --test-dir "$build" --output-on-failure -j 2 --no-tests=error "$@"
