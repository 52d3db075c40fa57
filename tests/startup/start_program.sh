#!/usr/bin/env bash
# Starts the real program under Xvfb from a scratch copy of its folder, one
# case at a time, on files that once stopped it at start, and checks the
# windows it shows: the main window always, an error report where one is due.
# Usage: start_program.sh PROGRAM_FOLDER
set -euo pipefail
program_folder=$1
scratch=$(mktemp -d)
source "$(dirname "$0")/../fixtures/x_display.sh"
# One X server for all cases.
trap 'stop_x_server; rm -rf "$scratch"' EXIT
start_x_server 1280x1024
failures=0

# Each case lays out files in the scratch program folder; the table below
# names the window expected besides the main window (none: no error box, which
# the application titles "Quillmarsh", nor an "Error" dialog). A window is
# matched with its class, which the application's 1x1 leader window named
# "Quillmarsh" lacks.
welcome_code_not_a_number() {
  printf '<PAGE><INFO>first</INFO><CAPTION>Open</CAPTION><CODE>1</CODE>'`
        `'<INFO>second</INFO><CAPTION>Open</CAPTION><CODE>x1</CODE></PAGE>\n' >welcome.xml
}
options_ini_is_a_folder() { mkdir options.ini; }
options_ini_unreadable_bytes() { head -c 4096 /dev/urandom >options.ini; }
language_outside_its_folder() { printf '[Misc]\nlang=../../../../tmp/evil.lng\n' >options.ini; }

cases=(
  "welcome_code_not_a_number|Quillmarsh"
  "options_ini_is_a_folder|"
  "options_ini_unreadable_bytes|"
  "language_outside_its_folder|"
)

for entry in "${cases[@]}"; do
  name=${entry%%|*}
  extra_window=${entry#*|}
  folder=$scratch/$name/program
  mkdir -p "$folder" "$scratch/$name/home" "$scratch/$name/run" "$scratch/$name/odbc"
  chmod 700 "$scratch/$name/run"
  touch "$scratch/$name/odbc/odbc.ini" "$scratch/$name/odbc/odbcinst.ini"
  # The program's folder is the folder of its executable: a link, not a symbolic one.
  ln "$program_folder/quillmarsh" "$folder/quillmarsh" 2>/dev/null || cp "$program_folder/quillmarsh" "$folder/"
  (cd "$folder" && "$name")
  windows=$scratch/$name/windows.txt
  # Started from its folder (welcome.xml is read from the current folder); env
  # runs it in place, so $! is the program's own process.
  env -C "$folder" HOME="$scratch/$name/home" XDG_RUNTIME_DIR="$scratch/$name/run" ODBCSYSINI="$scratch/$name/odbc" \
    ODBCINI="$scratch/$name/odbc/user.ini" QT_QPA_PLATFORM=xcb ./quillmarsh >"$scratch/$name/output.txt" 2>&1 &
  program=$!
  # The main window, then the box the case expects, each within a minute.
  for window in 'Quillmarsh v\.' ${extra_window:+"$extra_window\": (\""}; do
    for _ in $(seq 300); do
      sleep 0.2
      xwininfo -root -tree >"$windows" 2>/dev/null || true
      if grep -q "\"$window" "$windows"; then break; fi
      kill -0 $program 2>/dev/null || break
    done
  done
  wait_until_idle $program
  xwininfo -root -tree >"$windows"
  if kill -0 $program 2>/dev/null; then
    echo running >>"$windows"
    kill $program
  fi
  wait $program || true
  problems=()
  grep -q '^running$' "$windows" || problems+=("the program ended")
  grep -q '"Quillmarsh v\.' "$windows" || problems+=("no main window")
  if [[ -n $extra_window ]]; then
    grep -q "\"$extra_window\": (\"" "$windows" || problems+=("no window \"$extra_window\"")
  else
    ! grep -q -e '"Error": ("' -e '"Quillmarsh": ("' "$windows" || problems+=("an unexpected error window")
  fi
  if ((${#problems[@]})); then
    echo "FAIL $name: ${problems[*]}"
    cat "$scratch/$name/output.txt"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
done
exit $((failures > 0))
