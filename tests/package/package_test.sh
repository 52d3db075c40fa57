#!/usr/bin/env bash
# Makes the Debian package from the build folder, unpacks it into a scratch
# root and starts the installed program from there under Xvfb: it passes when
# the main window comes up from the user's own program folder.
#   package_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
scratch=$(mktemp -d)
program_pid=
source "$(dirname "$0")/../fixtures/x_display.sh"
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  stop_x_server
  rm -rf -- "$scratch"
}
trap cleanup EXIT

cpack -G DEB -B "$scratch/package" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/package/quillmarsh_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libsqliteodbc || { echo "the package does not depend on the SQLite driver"; exit 1; }
dpkg -x "$deb" "$scratch/root"

for file in usr/bin/quillmarsh usr/lib/quillmarsh/quillmarsh usr/lib/quillmarsh/quillmarsh-jet-reader usr/lib/quillmarsh/sample.sqlite \
  usr/lib/quillmarsh/welcome.xml usr/lib/quillmarsh/tarnwick.html usr/lib/quillmarsh/languages/francais.xml \
  usr/share/applications/quillmarsh.desktop usr/share/icons/hicolor/scalable/apps/quillmarsh.svg; do
  [ -e "$scratch/root/$file" ] || { echo "missing from the package: $file"; exit 1; }
done
[ -s "$scratch/root/usr/share/doc/quillmarsh/copyright" ] || { echo "missing from the package: its copyright file"; exit 1; }
grep -q '^Exec=quillmarsh$' "$scratch/root/usr/share/applications/quillmarsh.desktop"
grep -q '^Icon=quillmarsh$' "$scratch/root/usr/share/applications/quillmarsh.desktop"

# The removal script, run on a private ODBC configuration: the sample source
# goes when it points at the package's sample (or a link to it), and stays
# when it points elsewhere or the package is only upgraded; other sources stay.
dpkg-deb -e "$deb" "$scratch/control"
prerm="$scratch/control/prerm"
[ -x "$prerm" ] || { echo "the package has no prerm script"; exit 1; }
mkdir -p "$scratch/prerm/odbc" "$scratch/prerm/home/.local/share/quillmarsh"
ln -s /usr/lib/quillmarsh/sample.sqlite "$scratch/prerm/home/.local/share/quillmarsh/sample.sqlite"
prerm_cases=(
  "remove|/usr/lib/quillmarsh/sample.sqlite|gone"
  "remove|$scratch/prerm/home/.local/share/quillmarsh/sample.sqlite|gone"
  "remove|/home/someone/accounts.sqlite|kept"
  "upgrade|/usr/lib/quillmarsh/sample.sqlite|kept"
)
for entry in "${prerm_cases[@]}"; do
  IFS='|' read -r action database expected <<<"$entry"
  printf '[SQLite3]\nDriver=libsqlite3odbc.so\n' >"$scratch/prerm/odbc/odbcinst.ini"
  printf '[Quillmarsh Sample]\nDriver=SQLite3\nDatabase=%s\n\n[Other]\nDriver=SQLite3\nDatabase=/tmp/other.db\n' \
    "$database" >"$scratch/prerm/odbc/odbc.ini"
  ODBCSYSINI="$scratch/prerm/odbc" ODBCINI="$scratch/prerm/odbc/user.ini" "$prerm" "$action" ||
    { echo "prerm $action failed"; exit 1; }
  if grep -q '^\[Quillmarsh Sample\]' "$scratch/prerm/odbc/odbc.ini"; then outcome=kept; else outcome=gone; fi
  [ "$outcome" = "$expected" ] || { echo "prerm $action with the sample at $database: the source is $outcome"; exit 1; }
  grep -q '^\[Other\]' "$scratch/prerm/odbc/odbc.ini" || { echo "prerm $action removed another source"; exit 1; }
done

# A private home, runtime folder and ODBC configuration: nothing of the
# machine's is read or changed.
mkdir -p "$scratch/home" "$scratch/runtime" "$scratch/odbc"
chmod 700 "$scratch/runtime"
touch "$scratch/odbc/odbc.ini" "$scratch/odbc/odbcinst.ini"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" ODBCSYSINI="$scratch/odbc" ODBCINI="$scratch/odbc/user.ini"
unset XDG_DATA_HOME

# A minute at most for the main window: the first start copies the program
# into the user's folder, and a loaded machine is slow.
start_x_server 1280x1024
QT_QPA_PLATFORM=xcb "$scratch/root/usr/bin/quillmarsh" >"$scratch/program.log" 2>&1 &
program_pid=$!
shown=
for _ in $(seq 300); do
  if xwininfo -root -tree | grep -q "\"Quillmarsh v\.[0-9.]*\""; then
    shown=yes
    break
  fi
  kill -0 "$program_pid" 2>/dev/null || { echo "the installed program ended:"; cat "$scratch/program.log"; exit 1; }
  sleep 0.2
done
[ -n "$shown" ] || { echo "no main window after a minute"; cat "$scratch/program.log"; exit 1; }
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=

user_folder="$scratch/home/.local/share/quillmarsh"
[ -x "$user_folder/quillmarsh" ] && [ ! -L "$user_folder/quillmarsh" ] ||
  { echo "the program was not started from the user's own folder"; exit 1; }
[ -e "$user_folder/languages/francais.xml" ] || { echo "the user's folder lacks the language pages"; exit 1; }
echo "The package installs and the program starts from $user_folder."
