#!/usr/bin/env bash
# Registers the sample database as the system data source "Quillmarsh Sample"
# through the SQLite3 ODBC driver, unless a source of that name exists.
#   register-sample-source.sh DATABASE_FILE
# Works on the system ODBC configuration that odbcinst names (ODBCSYSINI
# moves it); when that folder is not writable it asks sudo for the writes.
set -euo pipefail

readonly source_name="Quillmarsh Sample"
readonly driver_name="SQLite3"

[ $# -eq 1 ] || { echo "usage: register-sample-source.sh DATABASE_FILE" >&2; exit 1; }
database=$(realpath -- "$1")
[ -f "$database" ] || { echo "register-sample-source.sh: no database at $database" >&2; exit 1; }

# sudo only when the configuration files are not ours to write.
config_folder=$(dirname "$(odbcinst -j | sed -n 's/^SYSTEM DATA SOURCES\.*: //p')")
sudo_cmd=()
if [ ! -w "$config_folder" ]; then
  sudo_cmd=(sudo --preserve-env=ODBCSYSINI)
fi

template=$(mktemp)
trap 'rm -f -- "$template"' EXIT

if ! odbcinst -q -d -n "$driver_name" >/dev/null 2>&1; then
  library=$(dpkg-query -L libsqliteodbc | grep '/libsqlite3odbc\.so$' | head -n 1)
  [ -n "$library" ] || { echo "register-sample-source.sh: the SQLite3 ODBC driver is not installed" >&2; exit 1; }
  printf '[%s]\nDescription=SQLite3 ODBC Driver\nDriver=%s\nSetup=%s\n' "$driver_name" "$library" "$library" >"$template"
  "${sudo_cmd[@]}" odbcinst -i -d -f "$template" >/dev/null
fi

if odbcinst -q -s -l -n "$source_name" >/dev/null 2>&1; then
  echo "The data source \"$source_name\" exists already; left as it is."
  exit 0
fi

printf '[%s]\nDescription=Quillmarsh sample database\nDriver=%s\nDatabase=%s\n' \
  "$source_name" "$driver_name" "$database" >"$template"
"${sudo_cmd[@]}" odbcinst -i -s -l -f "$template" >/dev/null
echo "Registered the system data source \"$source_name\" ($database)."
