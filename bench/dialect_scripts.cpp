// The script of a SQLite table in each of the five dialects: wall and CPU
// time of the whole run (connect to finished script) next to
// `sqlite3 FILE .dump` of the same file, measured side by side.
//
// Usage: bench_dialect_scripts [rows]     (default 1000000)
// Times are the best of three runs in child processes.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench_script_run.h"
#include "bench_support.h"
#include "bench_user_interface.h"
#include "sources/settings.h"

namespace {

namespace fs = std::filesystem;

using quill::bench::BenchUserInterface;
using quill::bench::kBenchDsn;

// One whole run in `dialect`, connect to finished script; its size in ui.
void RunScript(const fs::path& folder, quill::TargetDialect dialect, BenchUserInterface& ui) {
  quill::bench::RunScript(folder, dialect, kBenchDsn, "bench", ui);
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const auto [folder, database] = quill::bench::SetUpSqliteBench("quill-bench", rows);
  if (folder.empty()) return 2;

  const quill::bench::Measurement dump = quill::bench::MeasureBestOfThree(
      [&] { quill::bench::DumpSqlite(database, (folder / "dump.sql").string()); });
  fs::remove(folder / "dump.sql");
  std::printf("sqlite3 .dump : %.2f s\n", dump.seconds);

  const std::vector<std::pair<const char*, quill::TargetDialect>> dialects = {
      {"MS SQL", quill::TargetDialect::MsSql},         {"Oracle", quill::TargetDialect::Oracle},
      {"Pervasive", quill::TargetDialect::Pervasive}, {"MySql", quill::TargetDialect::MySql},
      {"PostgreSQL", quill::TargetDialect::PostgreSql},
  };
  for (const auto& [name, dialect] : dialects) {
    const quill::bench::Measurement run = quill::bench::MeasureBestOfThree([&] {
      BenchUserInterface ui(kBenchDsn);
      RunScript(folder, dialect, ui);
    });
    BenchUserInterface ui(kBenchDsn);
    RunScript(folder, dialect, ui);
    std::printf("%-10s    : %.2f s (%.2f s CPU), %.1f MB, peak %.1f MB, %.2f x the dump\n", name, run.seconds,
                run.cpu_seconds, ui.bytes / 1048576.0, run.peak_kib / 1024.0, run.seconds / dump.seconds);
  }

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
