#!/usr/bin/env bash
# Installs what the tests and benchmarks need besides the program's own
# packages: the database servers and clients they start, GoogleTest, Xvfb for
# the window pictures, node for the second Access reader, the peer tools the
# benchmarks compare with and the packaging tools.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)

packages=(
  postgresql-15 postgresql-client-15 mariadb-server mariadb-client
  mdbtools libgtest-dev
  xvfb xauth x11-apps x11-utils imagemagick xdotool openbox
  nodejs
  locales
  dpkg-dev
  # The real-world export test exports proj-data's proj.db and checks it with Python.
  proj-data python3
  # For the real-world round-trip tests (tests/fixtures/real_world/databases.txt):
  # data packages that ship SQLite databases, and the client libraries that
  # copy them into the test servers and read every value back.
  kstars-data qgis-providers-common qgis-common sagemath-database-graphs monajat-data
  python3-psycopg2 python3-pymysql
)

# The Jet writer tests install the npm package mdb-reader; Debian's nodejs
# comes without npm, other builds of nodejs bring their own.
command -v npm >/dev/null 2>&1 || packages+=(npm)

"$top/install-packages.sh" "${packages[@]}"
