#!/usr/bin/env bash
# Configures and builds Quillmarsh into build/.
#   build.sh program   the program and its files only (what run.sh needs)
#   build.sh all       besides, the tests and the benchmarks (the default)
# The tests are built with debug information (RelWithDebInfo). The program
# alone is built optimised without it (Release at -O2), which takes a quarter
# less time, unless build/ is configured already: then its type is kept, so
# switching between the two never rebuilds everything.
# CMAKE_BUILD_PARALLEL_LEVEL, when set, says how many jobs run at once;
# otherwise one per processor.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
build_type=()
case "$what" in
  program)
    testing=OFF
    if ! grep -q '^CMAKE_BUILD_TYPE:' "$top/build/CMakeCache.txt" 2>/dev/null; then
      build_type=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")
    fi
    ;;
  all)
    testing=ON
    build_type=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    ;;
  *) echo "usage: build.sh [program|all]" >&2; exit 1 ;;
esac
cmake -S "$top" -B "$top/build" -G Ninja "${build_type[@]}" -DBUILD_TESTING="$testing" >/dev/null
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(-j "$(nproc)")
cmake --build "$top/build" "${jobs[@]}"
