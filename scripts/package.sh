#!/usr/bin/env bash
# Installs what is missing, builds, and writes the Debian package of the programs
# (build/packages/velkaro_<version>_amd64.deb).
#   scripts/package.sh [--preset default|ci] [--check]
# --check also validates the desktop entries and the AppStream metadata, lists the package's files
# and dependencies, checks that the dependencies resolve on this system, installs the package into a
# throwaway root and starts the installed velkaro offscreen (needs desktop-file-utils and appstream).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=default
check=false
while [ $# -gt 0 ]; do
    case $1 in
    --preset) preset=$2; shift 2 ;;
    --check) check=true; shift ;;
    *) echo "usage: package.sh [--preset default|ci] [--check]" >&2; exit 2 ;;
    esac
done

bash "$root/scripts/install-packages.sh"
cd "$root"
cmake --preset "$preset" > /dev/null
cmake --build --preset "$preset"
packaged=$(cpack --preset "$preset")
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<< "$packaged")
[ -f "$deb" ] || { echo "$packaged" >&2; echo "package.sh: no package written" >&2; exit 1; }
echo "$deb"
$check || exit 0

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

dpkg-deb --info "$deb"
dpkg -c "$deb"
contents=$(dpkg -c "$deb")
for file in usr/bin/velkaro usr/bin/zindrel usr/bin/zindrel-batch usr/bin/velkaro-report \
    usr/share/applications/com.halvetic.{Velkaro,Zindrel}.desktop \
    usr/share/icons/hicolor/scalable/apps/com.halvetic.{Velkaro,Zindrel}.svg \
    usr/share/metainfo/com.halvetic.{Velkaro,Zindrel}.metainfo.xml; do
    grep -q " \./$file\$" <<< "$contents" || fail "the package lacks /$file"
done
depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libodbc2; do
    grep -q "\b$package\b" <<< "$depends" || fail "Depends lacks $package: $depends"
done
recommends=$(dpkg-deb --field "$deb" Recommends)
for package in odbc-postgresql odbc-mariadb libsqliteodbc; do
    grep -q "\b$package\b" <<< "$recommends" || fail "Recommends lacks $package: $recommends"
done
# Every dependency is a package this Debian release has.
apt-get install --simulate "$deb" > /dev/null || fail "the dependencies do not resolve"

# A throwaway root with an empty package database: dpkg unpacks the package there as it would
# on a system of its own; the programs then run on this system's libraries.
target=$(mktemp -d)
trap 'rm -rf "$target"' EXIT
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status"
# (It reports the dependencies it does not find there; their resolving was checked above.)
unpacked=$(dpkg --root="$target" --force-depends --force-not-root -i "$deb" 2>&1) || {
    echo "$unpacked" >&2
    fail "dpkg did not install the package"
}
desktop-file-validate "$target"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$target"/usr/share/metainfo/*.metainfo.xml

home=$target/home
mkdir -p "$home/config" "$home/runtime" "$home/odbc"
chmod 700 "$home/runtime"
: > "$home/odbc/odbc.ini"
: > "$home/odbc/odbcinst.ini"
(
    cd "$home"
    export HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=offscreen
    export ODBCSYSINI=$home/odbc ODBCINI=$home/odbc/odbc.ini
    "$target/usr/bin/velkaro" &
    pid=$!
    sleep 3
    kill -0 "$pid" 2> /dev/null || fail "the installed velkaro did not stay up"
    # SIGTERM closes the window as its close box does.
    kill -TERM "$pid"
    status=0
    timeout 20 tail --pid="$pid" -f /dev/null || fail "the installed velkaro did not quit on SIGTERM"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the installed velkaro quit with status $status"
)
echo "package.sh: $deb checked"
