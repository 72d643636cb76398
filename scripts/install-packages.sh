#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need (only what is missing).
#   install-packages.sh [more packages...]   (CI adds its checking tools)
set -euo pipefail
# build: compiler, CMake, Ninja, ccache, Qt 6 (Core, Gui, Widgets, Svg, Test) and the ODBC headers;
# programs: the offscreen and desktop platform plugins, a font, the driver manager and the three drivers;
# tests: the two servers and sqlite3 for the sample data sources.
packages=(build-essential cmake ninja-build ccache qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins
    fonts-dejavu-core unixodbc unixodbc-dev libsqliteodbc odbc-postgresql odbc-mariadb
    postgresql mariadb-server mariadb-client sqlite3 "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
# The packaged servers start themselves on install; the tests run their own on other ports.
for service in postgresql mariadb; do
    "${sudo[@]}" systemctl disable --now "$service" > /dev/null 2>&1 || true
done
