#!/usr/bin/env bash
# Installs what Quillmarsh and its tests need, builds everything and runs the
# whole test suite.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-dependencies.sh"
"$top/scripts/install-test-dependencies.sh"
"$top/scripts/build.sh" all
cd "$top/build"
ctest --output-on-failure -j "$(nproc)"
