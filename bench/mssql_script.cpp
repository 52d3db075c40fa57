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

#include "bench_support.h"
#include "common/user_interface.h"
#include "platform/connection/connection.h"
#include "generator/script_generator.h"
#include "sources/dsn_login_store.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDsn = "Bench SQLite";

// The windows, silent: only the script's size is kept.
class BenchUserInterface : public quill::UserInterface {
 public:
  void ShowPlacedMessage(const std::string& text, int, int) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  quill::MessageAnswer ShowMessageBox(const std::string& text, quill::MessageIcon, quill::MessageButtons,
                                      bool) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return quill::MessageAnswer::No;
  }
  void ShowErrorDialog(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void AddLogLine(const std::string&) override {}
  void AddColoredLine(const std::string& text, uint32_t) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void SetStatusText(const std::string&) override {}
  void SetProgressMinimum(int) override {}
  void SetProgressMaximum(int maximum) override { maximum_ = maximum; }
  void SetProgressPosition(int position) override { position_ = position; }
  int ProgressMaximum() const override { return maximum_; }
  int ProgressPosition() const override { return position_; }
  bool EscapePressed() override { return false; }
  std::string SelectedNodeCaption() const override { return kDsn; }
  bool SelectTables(const std::vector<std::string>&, const std::string&, std::vector<std::string>&) override {
    return false;
  }
  bool RunForeignKeyDesigner(const std::vector<std::string>&, quill::ForeignKeyScripts&) override { return true; }
  void AddScriptTab(quill::ScriptDocument document) override {
    items = document.script.ItemCount();
    bytes = document.script.size();
  }
  void Pause(int) override {}

  size_t items = 0;
  size_t bytes = 0;

 private:
  int maximum_ = 100;
  int position_ = 0;
};

// One whole run, connect to finished script; its script's size in ui.
void RunScript(const fs::path& folder, BenchUserInterface& ui) {
  quill::Settings settings;
  settings.format = quill::TargetDialect::MsSql;
  settings.debug_mode = false;
  quill::DsnLoginStore logins(folder.string(), ui);
  quill::SourceSession session(settings, logins, ui);
  quill::ScriptGenerator generator(settings, session, ui, &quill::SystemNow);
  generator.GenerateScript(kDsn, "bench");
}

// Opens the table (the type-deciding pass) and, when `rows`, reads every row.
void ReadTable(bool rows) {
  quill::Connection connection;
  connection.SetConnectionString(quill::OdbcConnectionString(kDsn));
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
  char pattern[] = "/tmp/quill-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 2;
  const fs::path folder = pattern;
  const fs::path database = folder / "bench.sqlite";
  quill::bench::WriteOdbcConfiguration(folder, {{kDsn, database}});

  std::printf("building %ld rows...\n", rows);
  quill::bench::BuildBenchTable(database, rows);

  // Side by side: each round measures the dump and then each of ours, so a
  // busy machine slows all of them alike.
  std::vector<quill::bench::Measurement> dumps, runs, reads, passes;
  for (int round = 0; round < kRounds; ++round) {
    dumps.push_back(quill::bench::MeasureOnce([&] {
      if (quill::bench::RunProgram({"sqlite3", database.string(), ".dump"}, (folder / "dump.sql").string()) != 0) {
        throw std::runtime_error("sqlite3 .dump failed");
      }
    }));
    runs.push_back(quill::bench::MeasureOnce([&] {
      BenchUserInterface ui;
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
  BenchUserInterface ui;
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
