#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and AddressSanitizer into
# build-fuzz/ and runs each for SECONDS (default 60), one after the other:
# the parsers of the program's own files, then the mutation loop of .mdb and
# .xls files through the Jet reader process. Inputs that fail are kept in
# build-fuzz/findings/TARGET/. See README.md here.
#
# Usage: fuzz/run.sh [SECONDS] [TARGET...]   (TARGET: fuzz_settings_file, ..., jet_file_mutations)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build=$source_dir/build-fuzz
seconds=${1:-60}
shift || true

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILL_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(fuzz_language_list fuzz_table_selection fuzz_foreign_key_set fuzz_settings_file fuzz_login_key_file
           fuzz_text_table fuzz_welcome_page jet_file_mutations)
fi
cmake --build "$build" -j4 --target "${targets[@]}"

# A few valid files of each kind to start from.
seed() {
  local corpus=$build/corpus/$1
  mkdir -p "$corpus"
  case $1 in
    fuzz_language_list) cp "$source_dir/resources/FRANCAIS.lng" "$corpus/" ;;
    fuzz_welcome_page) cp "$source_dir/resources/welcome.xml" "$source_dir/resources/languages/francais.xml" "$corpus/" ;;
    fuzz_settings_file)
      printf '[Data]\r\nConvert=1\r\nSize=30\r\n[Misc]\r\nblobpath=/data\r\nlang=deutsch.lng\r\nDrop=1\r\n'`
        `'Width=$2A0\r\n[Output]\r\nFont=MS Sans Serif\r\nFontColor=-16777208\r\nMSFormat=0x2\r\n' >"$corpus/options.ini" ;;
    fuzz_table_selection)
      printf '// created on 01/02/2024 10:00:00\r\n// From source : Sales\r\nclients\r\norders\r\n' >"$corpus/sel.tbs" ;;
    fuzz_foreign_key_set)
      printf '// created on 01/02/2024\r\n// From source : Sales\r\norders;client_id;clients;id;1;2024-01-02;\r\n' \
        >"$corpus/set.fks" ;;
    fuzz_login_key_file)
      printf '\005admin\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\006secret\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$corpus/login.key" ;;
    fuzz_text_table)
      printf 'id;name;note\r\n1;"O'"'"'Brien ""Ltd""";x\r\n2;;"a;b\r\nc"\r\n' >"$corpus/table.csv" ;;
  esac
}

for target in "${targets[@]}"; do
  findings=$build/findings/$target
  mkdir -p "$findings"
  echo "== $target for ${seconds}s"
  if [[ $target == jet_file_mutations ]]; then
    "$build/fuzz/jet_file_mutations" "$findings" "$seconds" "$source_dir/tests/platform/jet/data/workbook.xls" \
      2>/dev/null | tail -1
    continue
  fi
  seed "$target"
  leaks=1
  # Qt and fontconfig keep their objects to the end of the process: no leaks there.
  [[ $target == fuzz_welcome_page ]] && leaks=0
  # Keep going after a finding, so one run reports every kind of fault.
  ASAN_OPTIONS=detect_leaks=$leaks "$build/fuzz/$target" "$build/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 \
    -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    2>"$findings/log.txt" || true
  grep -E "stat::number_of_executed_units|crash|deadly|Timeout|out-of-memory" "$findings/log.txt" | tail -3 || true
  ls "$findings" | grep -v '^log.txt$' || echo "no findings"
done
