#!/usr/bin/env bash
# Installs the Debian packages Quillmarsh needs to build, run and test.
# Packages already present are skipped, so a second call costs nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libqt6svg6
  unixodbc-dev odbcinst unixodbc
  libsqliteodbc sqlite3 odbc-postgresql odbc-mariadb
  postgresql-15 postgresql-client-15 mariadb-server mariadb-client
  mdbtools mdbtools-dev libfreexl-dev libpugixml-dev libgtest-dev
  xvfb xauth x11-apps imagemagick
  nodejs
  locales
  # For the real-world round-trip tests (tests/fixtures/real_world/databases.txt):
  # data packages that ship SQLite databases, and the client libraries that
  # copy them into the test servers and read every value back.
  proj-data kstars-data qgis-providers-common
  python3 python3-psycopg2 python3-pymysql
)

# The Jet writer tests install the npm package mdb-reader; Debian's nodejs
# comes without npm, other builds of nodejs bring their own.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
