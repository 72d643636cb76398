#!/usr/bin/env bash
# Checks the casing of member functions (.clang-tidy) over the programs' sources, using the
# compile commands of a configured build folder (default: build-ci). The tests are left out:
# Qt Test finds their functions by Qt's casing, and a wrong call into the sources fails to build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build-ci}
if [[ ! -f "$build/compile_commands.json" ]]; then
    echo "check-names: $build/compile_commands.json is missing; build that folder first" >&2
    exit 2
fi
echo "== member function names (clang-tidy)"
root=$(pwd)
# The build's GCC-only warning options mean nothing to clang.
run-clang-tidy-14 -quiet -p "$build" -extra-arg=-Wno-unknown-warning-option -j "$(nproc)" "^$root/(apps|catalog|common|explorer|search)/.*\.cpp$" \
    >"$build/check-names.log" 2>&1 || {
    grep -E 'error:' "$build/check-names.log" | sort -u >&2
    echo "check-names: member functions off the project's casing (full output: $build/check-names.log)" >&2
    exit 1
}
echo "member function names: ok"
