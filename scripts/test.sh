#!/usr/bin/env bash
# Installs what is missing, builds, starts the test databases and runs the whole test suite.
#   scripts/test.sh [--preset default|ci|asan|tsan] [extra ctest arguments...]
# The preset names the build (CMakePresets.json) and the test run: its environment (the sanitizers'
# options), its label filter and its jobs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=default
if [ "${1:-}" = "--preset" ]; then preset=$2; shift 2; fi

bash "$root/scripts/install-packages.sh"
cd "$root"
if ! configured=$(cmake --preset "$preset" 2>&1); then
    echo "$configured" >&2
    exit 1
fi
build=$(sed -n 's/^-- Build files have been written to: //p' <<< "$configured")
[ -n "$build" ] || { echo "$configured" >&2; echo "test.sh: no build folder for preset $preset" >&2; exit 1; }
cmake --build --preset "$preset"

# The tests read the private ODBC configuration the build was configured with.
datasources=$(sed -n 's/^VELKARO_ODBC_DIR:PATH=//p' "$build/CMakeCache.txt")
trap 'bash "$root/tests/datasources/datasources.sh" stop "$datasources"' EXIT
bash "$root/tests/datasources/datasources.sh" all "$datasources"

ctest --preset "$preset" "$@"
