#!/usr/bin/env bash
# Installs what Quillmarsh needs, builds it and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-dependencies.sh"
"$top/scripts/build.sh"
cd "$top/build"
ctest --output-on-failure -j "$(nproc)"
