#!/usr/bin/env bash
# Starts the main window under Xvfb on the sample database, lists its tables,
# generates a script and saves a picture at each of these moments into FOLDER.
set -euo pipefail
program=$1 sample=$2 folder=$3
rm -rf "$folder"
mkdir -p "$folder"
source "$(dirname "$0")/../fixtures/x_display.sh"
trap stop_x_server EXIT
start_x_server 1280x1024
QT_QPA_PLATFORM=xcb "$program" "$sample" "$folder"
echo "Pictures of the main window: $folder"
ls "$folder"/*.png
