#!/usr/bin/env bash
# Starts the real program under Xvfb with a window manager (openbox) on
# screens of 1024x768, 1280x800 and 1280x1024, and on 1280x800 at a scale
# factor of 1.5, and on 1024x768 below a panel, in English and in French, and
# checks that the main window's frame lies wholly on the screen: at a first
# start, and again after it was closed (which saves its place) and started
# anew, when it must come back exactly where it was; then on a settings file
# whose place no longer fits. A picture of each screen goes to
# SCREENSHOT_FOLDER.
# Usage: window_on_screen.sh PROGRAM_FOLDER SCREENSHOT_FOLDER
set -euo pipefail
program_folder=$1
pictures=$2
mkdir -p "$pictures"
scratch=$(mktemp -d)
xvfb=
manager=
panel=
program=
stop_all() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -n "$panel" ] && kill "$panel" 2>/dev/null || true
  [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  program= panel= manager= xvfb=
}
trap 'stop_all; rm -rf "$scratch"' EXIT
failures=0

# The frame of the main window as "left top width height" (client position
# less the window manager's frame extents).
main_frame() {
  local id=$1 info extents
  info=$(xwininfo -id "$id")
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,)
  read -r left right top bottom <<<"${extents:-0 0 0 0}"
  local x y w h
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# Starts the program in FOLDER and waits until its main window is framed;
# sets window_id.
start_program() {
  local folder=$1
  env -C "$folder" HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" ODBCSYSINI="$scratch/odbc" \
    ODBCINI="$scratch/odbc/user.ini" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" ./quillmarsh >>"$scratch/output.txt" 2>&1 &
  program=$!
  window_id=
  for _ in $(seq 100); do
    sleep 0.2
    window_id=$(xdotool search --name '^Quillmarsh v\.' 2>/dev/null | head -1) || true
    [ -n "$window_id" ] && xprop -id "$window_id" _NET_FRAME_EXTENTS | grep -q = && break
    kill -0 "$program" 2>/dev/null || break
  done
  # The window settles: a language is loaded after it shows, and the window
  # grows for its texts and is fitted. A loaded machine may take a while, so
  # the frame is read until it has stayed the same for two seconds.
  local last= same=0
  for _ in $(seq 60); do
    local now
    now=$(main_frame "$window_id" 2>/dev/null) || now=
    if [ -n "$now" ] && [ "$now" = "$last" ]; then
      same=$((same + 1))
      ((same >= 4)) && break
    else
      same=0
    fi
    last=$now
    sleep 0.5
  done
}

# Closes the main window as the user does (Alt+F4 through the window
# manager), so that it saves its place.
close_program() {
  # A loaded machine may take its time, or lose a key: the key is sent again
  # every 10 s, for up to 30 s, before the program is stopped.
  for attempt in 1 2 3; do
    xdotool windowactivate --sync "$window_id" key --clearmodifiers alt+F4 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$program" 2>/dev/null || break
  done
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  program=
}

check_on_screen() {  # name frame screen_width screen_height [panel_height]
  local name=$1 frame=$2 width=$3 height=$4 top=${5:-0}
  read -r x y w h <<<"$frame"
  if ((x < 0 || y < top || x + w > width || y + h > height || w < 570 || h < 404)); then
    echo "FAIL $name: the frame ($frame) is not wholly on the ${width}x${height} screen below its ${top}-pixel panel"
    failures=$((failures + 1))
    return 1
  fi
  echo "ok   $name: frame $frame"
}

# The same frame; at a fractional scale factor the saved place, kept in the
# window's own units, comes back within the 2 pixels of its rounding.
same_place() {  # frame frame scale
  local a b tolerance=0
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  [ "$3" = 1 ] || tolerance=2
  for i in 0 1 2 3; do
    local difference=$((a[i] - b[i]))
    ((difference <= tolerance && difference >= -tolerance)) || return 1
  done
}

# Each screen as "size scale-factor panel-height"; a scale factor of 1.5
# makes the 1280x800 screen as small for the window as one of 853x533; a
# panel along the top of the screen (a window that reserves its strip, which
# the window manager keeps free) leaves the windows less room.
for setting in "1024x768 1 0" "1280x800 1 0" "1280x1024 1 0" "1280x800 1.5 0" "1024x768 1 40"; do
  read -r screen scale panel_height <<<"$setting"
  width=${screen%x*}
  height=${screen#*x}
  for language in english french; do
    name="$screen-$language"
    [ "$scale" = 1 ] || name="$name-scaled-$scale"
    ((panel_height == 0)) || name="$name-panel-$panel_height"
    folder=$scratch/$name/program
    mkdir -p "$folder" "$scratch/home" "$scratch/run" "$scratch/odbc"
    chmod 700 "$scratch/run"
    touch "$scratch/odbc/odbc.ini" "$scratch/odbc/odbcinst.ini"
    ln "$program_folder/quillmarsh" "$folder/quillmarsh" 2>/dev/null || cp "$program_folder/quillmarsh" "$folder/"
    cp -r "$program_folder/welcome.xml" "$program_folder/languages" "$folder/"
    [ "$language" = french ] && printf '[Misc]\r\nlang=francais.lng\r\n[Kept]\r\nmine=1\r\n' >"$folder/options.ini"

    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(head -1 "$scratch/display")
    : >"$scratch/display"
    openbox >/dev/null 2>&1 &
    manager=$!
    sleep 1
    if ((panel_height > 0)); then
      xlogo -geometry "${width}x${panel_height}+0+0" -name quillmarsh-test-panel >/dev/null 2>&1 &
      panel=$!
      panel_id=
      for _ in $(seq 50); do
        panel_id=$(xdotool search --classname quillmarsh-test-panel 2>/dev/null | head -1) || true
        [ -n "$panel_id" ] && break
        sleep 0.1
      done
      xprop -id "$panel_id" -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL \
        "0, 0, $panel_height, 0, 0, 0, 0, 0, 0, $((width - 1)), 0, 0"
      for _ in $(seq 50); do
        xprop -root _NET_WORKAREA | grep -q "= 0, $panel_height," && break
        sleep 0.1
      done
    fi

    start_program "$folder"
    first=$(main_frame "$window_id")
    import -window root "$pictures/$name-first-start.png"
    check_on_screen "$name first start" "$first" "$width" "$height" "$panel_height" || true
    close_program
    grep -q '^Width=' "$folder/options.ini" || { echo "FAIL $name: closing saved no place"; failures=$((failures + 1)); }

    start_program "$folder"
    again=$(main_frame "$window_id")
    import -window root "$pictures/$name-restart.png"
    if check_on_screen "$name restart" "$again" "$width" "$height" "$panel_height" && ! same_place "$again" "$first" "$scale"; then
      echo "FAIL $name: the restart put the frame at $again, not where it was ($first)"
      failures=$((failures + 1))
    fi
    close_program
    if [ "$language" = french ] && ! grep -q '^mine=1' "$folder/options.ini"; then
      echo "FAIL $name: the settings file lost a key of its own"
      failures=$((failures + 1))
    fi

    # A place saved on another, larger screen, or damaged.
    printf '[Misc]\r\nWidth=100000\r\nHeight=3000\r\nTop=-400\r\nLeft=2500\r\nBarPos=150\r\n' >"$folder/options.ini"
    start_program "$folder"
    check_on_screen "$name place that no longer fits" "$(main_frame "$window_id")" "$width" "$height" "$panel_height" || true
    import -window root "$pictures/$name-place-that-no-longer-fits.png"
    close_program
    stop_all
  done
done
((failures == 0)) || { echo "--- program output"; cat "$scratch/output.txt"; }
exit $((failures > 0))
