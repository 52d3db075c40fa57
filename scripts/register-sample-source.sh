#!/usr/bin/env bash
# Points the system data source "Quillmarsh Sample" at the sample database
# through the SQLite3 ODBC driver:
#   register-sample-source.sh DATABASE_FILE
# A source of that name that points at another copy of the sample (another
# checkout's build/program/sample.sqlite, an installed quillmarsh/sample.sqlite)
# is pointed at this one; a source of that name that points anywhere else is
# the user's own and left alone.
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

if existing=$(odbcinst -q -s -l -n "$source_name" 2>/dev/null); then
  current=$(printf '%s\n' "$existing" | sed -n 's/^[Dd][Aa][Tt][Aa][Bb][Aa][Ss][Ee][[:space:]]*=[[:space:]]*//p' | head -n 1)
  driver=$(printf '%s\n' "$existing" | sed -n 's/^[Dd][Rr][Ii][Vv][Ee][Rr][[:space:]]*=[[:space:]]*//p' | head -n 1)
  if [ "$current" = "$database" ] && [ "$driver" = "$driver_name" ]; then
    echo "The data source \"$source_name\" points at $database already."
    exit 0
  fi
  case "$current" in
    */build/program/sample.sqlite | */quillmarsh/sample.sqlite)
      "${sudo_cmd[@]}" odbcinst -u -s -l -n "$source_name" >/dev/null
      echo "The data source \"$source_name\" pointed at $current; it now points at this checkout's sample."
      ;;
    *)
      echo "The data source \"$source_name\" exists and points at ${current:-no file} (not a sample database); left as it is."
      echo "To use this checkout's sample instead, remove it with:  odbcinst -u -s -l -n \"$source_name\"  and run this again."
      exit 0
      ;;
  esac
fi

printf '[%s]\nDescription=Quillmarsh sample database\nDriver=%s\nDatabase=%s\n' \
  "$source_name" "$driver_name" "$database" >"$template"
"${sudo_cmd[@]}" odbcinst -i -s -l -f "$template" >/dev/null
echo "Registered the system data source \"$source_name\" ($database)."
