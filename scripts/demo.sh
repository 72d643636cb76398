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
mkdir -p "$XDG_CONFIG_HOME/Halvetic"
# A new user's first start: Velkaro reopens the sample at once. Written only once, so what the
# demo's user changes later is kept; the SQLite source needs no password, and none is stored.
settings=$XDG_CONFIG_HOME/Halvetic/Velkaro.conf
if [ ! -f "$settings" ]; then
    printf '[Recent%%20DB]\n0=ShopSQLite/p0/pDSN=ShopSQLite\n1=\n' > "$settings"
    chmod 600 "$settings"
fi

# The activity log (Velkaro.log) is written in the folder the program starts in: keep it with the sample.
cd "$sample"
"$build/apps/velkaro" &
"$build/apps/zindrel" &
wait
