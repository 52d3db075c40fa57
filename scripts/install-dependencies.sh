#!/usr/bin/env bash
# Installs the Debian packages Quillmarsh needs to build and run. What only
# the tests and benchmarks need is in install-test-dependencies.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libqt6svg6
  unixodbc-dev odbcinst unixodbc
  libsqliteodbc sqlite3 libsqlite3-dev odbc-postgresql odbc-mariadb
  mdbtools-dev libfreexl-dev libpugixml-dev
  xdg-utils fonts-dejavu-core fonts-wqy-microhei
)

"$top/install-packages.sh" "${packages[@]}"
