#!/usr/bin/env bash
# Installs what is missing, builds, and starts the programs on the bundled SQLite sample, with a
# private ODBC configuration and a settings folder kept apart from the user's own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build

bash "$root/scripts/install-packages.sh"
cmake --preset default -S "$root" > /dev/null
cmake --build --preset default

sample=$build/sample
bash "$root/tests/datasources/datasources.sh" config "$sample"
[ -f "$sample/shop.sqlite" ] || bash "$root/tests/datasources/datasources.sh" sqlite "$sample"
# shellcheck source=/dev/null
source "$sample/env.sh"
export XDG_CONFIG_HOME=$sample/config
mkdir -p "$XDG_CONFIG_HOME"

programs=()
for program in velkaro zindrel; do
    [ -x "$build/apps/$program" ] && programs+=("$build/apps/$program")
done
if [ ${#programs[@]} -eq 0 ]; then
    echo "Built. The sample data source ShopSQLite is ready in $sample (source $sample/env.sh)."
    exit 0
fi
for program in "${programs[@]}"; do "$program" & done
wait
