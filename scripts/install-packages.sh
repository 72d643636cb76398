#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need (only what is missing).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache clang-format qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    unixodbc unixodbc-dev odbcinst libsqliteodbc odbc-postgresql odbc-mariadb postgresql mariadb-server
    mariadb-client sqlite3 xvfb xauth xdotool x11-utils imagemagick poppler-utils libgtest-dev fonts-dejavu-core)
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
