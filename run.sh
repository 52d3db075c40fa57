#!/usr/bin/env bash
# Installs what Quillmarsh needs, builds it, registers the sample database as
# the system data source "Quillmarsh Sample" when no such source exists, and
# starts the program from its own folder.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-dependencies.sh"
"$top/scripts/build.sh"
program_folder="$top/build/program"
"$top/scripts/register-sample-source.sh" "$program_folder/sample.sqlite"
cd "$program_folder"
exec ./quillmarsh
