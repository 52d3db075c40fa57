#!/usr/bin/env bash
# Runs the dialog placement test on a real X server with a window manager
# that frames the windows, where a frame's size is known only after the
# first showing; and the main window's fit to its screen, its saved places and
# splitter, a maximized window restored, and the folder browser, on a narrow
# and a wide screen; and every dialog on a screen made small by a scale
# factor.
set -euo pipefail
test_program=$1
source "$(dirname "$0")/../fixtures/x_display.sh"
trap stop_x_server EXIT

# Called in a condition, where a failing command does not end the script.
run_on_screen() {  # screen scale_factor gtest_filter
  start_x_server "$1" || return 1
  start_window_manager || { stop_x_server; return 1; }
  local status=0
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$2 "$test_program" --gtest_filter="$3" || status=$?
  stop_x_server
  return $status
}

fitting='*TheMainWindowFitsItsScreen*:WindowFitTest.ASavedPlace*:WindowFitTest.ASavedMaximized*:WindowFitTest.AFirstSplitter*:WindowFitTest.TheSplitter*:WindowFitTest.TheFolderBrowser*'
status=0
run_on_screen 1280x1024 1 "DialogPlacementTest.*:$fitting" || status=$?
run_on_screen 1024x768 1 "$fitting" || status=$?
run_on_screen 1280x800 1.5 "DialogPlacementTest.EveryDialogOpensOnTheScreen" || status=$?
exit $status
