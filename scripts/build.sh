#!/usr/bin/env bash
# Configures and builds Quillmarsh into build/ (Release with debug information).
#   build.sh program   the program and its files only (what run.sh needs)
#   build.sh all       besides, the tests and the benchmarks (the default)
# CMAKE_BUILD_PARALLEL_LEVEL, when set, says how many jobs run at once;
# otherwise one per processor.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
case "$what" in
  program) testing=OFF ;;
  all) testing=ON ;;
  *) echo "usage: build.sh [program|all]" >&2; exit 1 ;;
esac
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING="$testing" >/dev/null
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(-j "$(nproc)")
cmake --build "$top/build" "${jobs[@]}"
