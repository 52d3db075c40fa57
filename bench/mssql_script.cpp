// The MS SQL script of a 1,000,000-row SQLite table: script lines per second
// and peak memory of the whole run (connect, the pass that decides the column
// classes, reading, finished script), next to `sqlite3 FILE .dump` of the
// same file. Beside it, the reading alone (opening the table, which makes the
// type-deciding pass, and stepping through every row) and the pass alone.
//
// Usage: bench_mssql_script [rows]     (default 1000000)
// Targets: run wall time <= 0.8 x the dump's; peak memory <= 1.2 x script
// size + 64 MB. Each measurement runs in a child process; the dump and the
// runs alternate, five times, and the medians are compared.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_script_run.h"
#include "bench_support.h"
#include "bench_user_interface.h"
#include "platform/connection/connection.h"
#include "sources/source_session.h"

namespace {

namespace fs = std::filesystem;

using quill::bench::BenchUserInterface;
using quill::bench::kBenchDsn;

// One whole run, connect to finished script; its script's size in ui.
void RunScript(const fs::path& folder, BenchUserInterface& ui) {
  quill::bench::RunScript(folder, quill::TargetDialect::MsSql, kBenchDsn, "bench", ui);
}

// Opens the table (the type-deciding pass) and, when `rows`, reads every row.
void ReadTable(bool rows) {
  quill::Connection connection;
  connection.SetConnectionString(quill::OdbcConnectionString(kBenchDsn));
  connection.Open("", "");
  std::unique_ptr<quill::Dataset> table = connection.OpenTable("bench");
  if (!rows) return;
  long read = 0;
  for (; !table->Eof(); table->Next()) ++read;
  if (read == 0) throw std::runtime_error("no rows read");
}

constexpr int kRounds = 5;

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const auto [folder, database] = quill::bench::SetUpSqliteBench("quill-bench", rows);
  if (folder.empty()) return 2;

  // Side by side: each round measures the dump and then each of ours, so a
  // busy machine slows all of them alike.
  std::vector<quill::bench::Measurement> dumps, runs, reads, passes;
  for (int round = 0; round < kRounds; ++round) {
    dumps.push_back(
        quill::bench::MeasureOnce([&] { quill::bench::DumpSqlite(database, (folder / "dump.sql").string()); }));
    runs.push_back(quill::bench::MeasureOnce([&] {
      BenchUserInterface ui(kBenchDsn);
      RunScript(folder, ui);
    }));
    reads.push_back(quill::bench::MeasureOnce([] { ReadTable(true); }));
    passes.push_back(quill::bench::MeasureOnce([] { ReadTable(false); }));
  }
  const quill::bench::Measurement dump = quill::bench::Median(dumps);
  const quill::bench::Measurement run = quill::bench::Median(runs);
  const quill::bench::Measurement read = quill::bench::Median(reads);
  const quill::bench::Measurement pass = quill::bench::Median(passes);
  const double dump_megabytes = fs::file_size(folder / "dump.sql") / 1048576.0;
  fs::remove(folder / "dump.sql");
  // The script's size, from one more run in this process.
  BenchUserInterface ui(kBenchDsn);
  RunScript(folder, ui);
  const double script_megabytes = ui.bytes / 1048576.0;
  const double peak_megabytes = run.peak_kib / 1024.0;

  std::printf("medians of %d alternating rounds\n", kRounds);
  std::printf("sqlite3 .dump      : %.2f s, %.1f MB\n", dump.seconds, dump_megabytes);
  std::printf("MS SQL script run  : %.2f s (%.2f s CPU), %zu items, %.0f lines/s, %.1f MB\n", run.seconds,
              run.cpu_seconds, ui.items, ui.items / run.seconds, script_megabytes);
  std::printf("reading alone      : %.2f s (%.2f x the dump), of which the type pass %.2f s\n", read.seconds,
              read.seconds / dump.seconds, pass.seconds);
  std::printf("peak memory        : %.1f MB\n", peak_megabytes);
  const double time_ratio = run.seconds / dump.seconds;
  const double memory_limit = 1.2 * script_megabytes + 64;
  std::printf("time target        : %.2f x the dump (target <= 0.8): %s\n", time_ratio,
              time_ratio <= 0.8 ? "met" : "MISSED");
  std::printf("memory target      : %.1f MB of at most %.1f MB: %s\n", peak_megabytes, memory_limit,
              peak_megabytes <= memory_limit ? "met" : "MISSED");

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
