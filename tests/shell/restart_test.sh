#!/usr/bin/env bash
# Starts the real program under Xvfb in a folder of its own, chooses
# Language > "English (default)", answers Yes to the restart question, and
# requires a new instance to come up once the first has ended.
set -euo pipefail
program=$1
work=$(mktemp -d)
source "$(dirname "$0")/../fixtures/x_display.sh"
first= second=
stop_all() {
  [ -n "$second" ] && kill "$second" 2>/dev/null || true
  [ -n "$first" ] && kill "$first" 2>/dev/null || true
  stop_x_server
  rm -rf "$work"
}
trap stop_all EXIT
mkdir -p "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/program/quillmarsh"
printf '[Misc]\r\nlang=francais.lng\r\n' > "$work/program/options.ini"

# Every wait below is bounded by a minute: a loaded machine is slow, not stuck.
# The first visible window whose name matches; the application's leader
# window, named "Quillmarsh" too, is never shown.
shown_window() {
  timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -1
}

# True once the process has ended, within a minute.
ended() {
  for _ in $(seq 600); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

start_x_server 1024x768
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
"$work/program/quillmarsh" & first=$!
window=$(shown_window "Quillmarsh v")
[ -n "$window" ] || { echo "the first instance shows no window"; exit 1; }
# The language is loaded once the window shows: the keys go to the menus
# once that is done. X delivers the keys in order, and the program handles
# each before the next.
wait_until_idle "$first"
xdotool windowfocus --sync "$window"
# The menu bar by keyboard: Alt, then right to Language, its first item.
xdotool key alt Right Right Right Right Right Down
wait_until_idle "$first"
xdotool key Return
# "Restart Now ?": Yes is the default button.
box=$(shown_window "^Quillmarsh$")
[ -n "$box" ] || { echo "no restart question"; exit 1; }
wait_until_idle "$first"
xdotool windowfocus --sync "$box"
xdotool key Return
ended "$first" || { echo "the first instance did not end"; exit 1; }
first=
for _ in $(seq 600); do
  second=$(pgrep -x -f "$work/program/quillmarsh" || true)
  [ -n "$second" ] && break
  sleep 0.1
done
[ -n "$second" ] || { echo "no second instance started"; exit 1; }
[ -n "$(shown_window "Quillmarsh v")" ] || { echo "the second instance shows no window"; exit 1; }
wait_until_idle "$second"
kill -0 "$second" || { echo "the second instance ended"; exit 1; }
tr -d '\r' < "$work/program/options.ini" | grep -qx 'lang=' || { echo "lang was not emptied"; exit 1; }
echo "restarted: first instance gone, second instance $second running"
