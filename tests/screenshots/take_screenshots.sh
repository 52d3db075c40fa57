#!/usr/bin/env bash
# Starts the main window under Xvfb on the sample database, lists its tables,
# generates a script and saves a picture at each of these moments into FOLDER.
set -euo pipefail
program=$1 sample=$2 folder=$3
rm -rf "$folder"
mkdir -p "$folder"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$sample" "$folder"
echo "Pictures of the main window: $folder"
ls "$folder"/*.png
