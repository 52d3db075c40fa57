#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (-DQUILL_SANITIZE=ON) into build-asan/ and runs the whole suite there.
# Arguments go to ctest, e.g. test-sanitized.sh -R Jet.
#
# Leaks are not looked for: Qt, fontconfig, unixODBC and the ODBC drivers keep
# memory to the end of a process, and the Jet reader process is killed rather
# than left to end. Undefined behaviour ends the test that meets it.
#
# AddressSanitizer's reports go to build-asan/sanitizer-logs/, one file a
# process: a fault in a test ends that test, but a fault in the Jet reader
# process only ends the reader, which the test sees as a damaged file. Reports
# from the reader are listed at the end; it exists because libmdb and FreeXL
# crash on some damaged files (the damaged-file tests give it such files), so
# reports in those libraries are expected; any other fails the run.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-asan
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DQUILL_SANITIZE=ON >/dev/null || exit 1
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(-j "$(nproc)")
cmake --build "$build" "${jobs[@]}" || exit 1
logs=$build/sanitizer-logs
rm -rf "$logs" && mkdir -p "$logs"
export ASAN_OPTIONS=detect_leaks=0:log_path=$logs/asan
export UBSAN_OPTIONS=print_stacktrace=1:log_path=$logs/ubsan
# Every test's output goes to ctest.txt: UndefinedBehaviorSanitizer writes to
# standard error whatever log_path says, and the reader's standard error is
# its test's, which ctest shows only when the test fails.
echo "running the suite; every test's output goes to $logs/ctest.txt"
(cd "$build" && ctest -V "$@") >"$logs/ctest.txt" 2>&1
result=$?
sed -n '/tests passed/,$p' "$logs/ctest.txt"
if grep -q 'runtime error:' "$logs/ctest.txt"; then
  grep 'runtime error:' "$logs/ctest.txt" | sort | uniq -c >&2
  result=1
fi
unexpected=0
for report in "$logs"/asan.* "$logs"/ubsan.*; do
  [ -e "$report" ] || continue
  summary=$(grep -m1 '^SUMMARY' "$report" || head -n1 "$report")
  echo "sanitizer report $report: $summary"
  case "$summary" in
    *libmdb.so*|*libfreexl.so*) ;;
    *) unexpected=1 ;;
  esac
done
[ "$unexpected" = 0 ] || { echo "sanitizer reports outside libmdb and FreeXL: see above" >&2; result=1; }
exit "$result"
