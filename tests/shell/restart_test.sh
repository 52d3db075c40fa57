#!/usr/bin/env bash
# Starts the real program under Xvfb in a folder of its own, chooses
# Language > "English (default)", answers Yes to the restart question, and
# requires a new instance to come up once the first has ended.
set -euo pipefail
program=$1
work=$(mktemp -d)
stop_instances() {
  [ -n "${second:-}" ] && kill "$second" 2>/dev/null || true
  [ -n "${first:-}" ] && kill "$first" 2>/dev/null || true
}
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/program/quillmarsh"
printf '[Misc]\r\nlang=francais.lng\r\n' > "$work/program/options.ini"

drive() {
  export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
  "$work/program/quillmarsh" & first=$!
  window=$(timeout 20 xdotool search --sync --name "Quillmarsh v" | head -1)
  sleep 1
  xdotool windowfocus --sync "$window"
  # The menu bar by keyboard: Alt, then right to Language, its first item.
  xdotool key alt; sleep 0.3
  for _ in 1 2 3 4 5; do xdotool key Right; sleep 0.1; done
  xdotool key Down; sleep 0.2; xdotool key Return
  # "Restart Now ?": Yes is the default button.
  timeout 20 xdotool search --sync --name "^Quillmarsh$" >/dev/null
  sleep 0.5
  xdotool key Return
  for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$first" 2>/dev/null; then echo "the first instance did not end"; return 1; fi
  first=
  for _ in $(seq 100); do
    second=$(pgrep -x -f "$work/program/quillmarsh" || true)
    [ -n "$second" ] && break
    sleep 0.1
  done
  if [ -z "$second" ]; then echo "no second instance started"; return 1; fi
  if ! timeout 20 xdotool search --sync --name "Quillmarsh v" >/dev/null; then
    echo "the second instance shows no window"; return 1
  fi
  sleep 1
  kill -0 "$second" || { echo "the second instance ended"; return 1; }
  tr -d '\r' < "$work/program/options.ini" | grep -qx 'lang=' || { echo "lang was not emptied"; return 1; }
  echo "restarted: first instance gone, second instance $second running"
}
drive_status=0
xvfb_script=$work/drive.sh
{ declare -f drive stop_instances; echo "work=$work; first=; second=; trap stop_instances EXIT; drive"; } > "$xvfb_script"
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail "$xvfb_script" || drive_status=$?
exit $drive_status
