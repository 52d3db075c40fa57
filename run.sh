#!/usr/bin/env bash
# Installs what Quillmarsh needs, builds the program (not its tests), points
# the system data source "Quillmarsh Sample" at this checkout's sample
# database, and starts the program from its own folder.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-dependencies.sh"
"$top/scripts/build.sh" program
program_folder="$top/build/program"
"$top/scripts/register-sample-source.sh" "$program_folder/sample.sqlite"
cd "$program_folder"
exec ./quillmarsh
