#!/usr/bin/env bash
# Runs the dialog placement test on a real X server with a window manager
# that frames the windows, where a frame's size is known only after the
# first showing; and the main window's fit to its screen, its saved places and
# splitter, and the folder browser, on a narrow and a wide screen; and every
# dialog on a screen made small by a scale factor.
set -euo pipefail
test_program=$1
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat > "$script" <<SCRIPT
openbox >/dev/null 2>&1 &
manager=\$!
sleep 1
status=0
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=\${SCALE:-1} "$test_program" --gtest_filter="\$1" || status=\$?
kill \$manager 2>/dev/null || true
exit \$status
SCRIPT
fitting='*TheMainWindowFitsItsScreen*:WindowFitTest.ASavedPlace*:WindowFitTest.TheSplitter*:WindowFitTest.TheFolderBrowser*'
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$script" "DialogPlacementTest.*:$fitting"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$script" "$fitting"
SCALE=1.5 xvfb-run -a -s "-screen 0 1280x800x24" bash "$script" "DialogPlacementTest.EveryDialogOpensOnTheScreen"
