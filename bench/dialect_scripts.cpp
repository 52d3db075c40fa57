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

#include "bench_support.h"
#include "common/user_interface.h"
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

// One whole run in `dialect`, connect to finished script; its size in ui.
void RunScript(const fs::path& folder, quill::TargetDialect dialect, BenchUserInterface& ui) {
  quill::Settings settings;
  settings.format = dialect;
  settings.debug_mode = false;
  quill::DsnLoginStore logins(folder.string(), ui);
  quill::SourceSession session(settings, logins, ui);
  quill::ScriptGenerator generator(settings, session, ui, &quill::SystemNow);
  generator.GenerateScript(kDsn, "bench");
}

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

  const quill::bench::Measurement dump = quill::bench::MeasureBestOfThree([&] {
    if (quill::bench::RunProgram({"sqlite3", database.string(), ".dump"}, (folder / "dump.sql").string()) != 0) {
      throw std::runtime_error("sqlite3 .dump failed");
    }
  });
  fs::remove(folder / "dump.sql");
  std::printf("sqlite3 .dump : %.2f s\n", dump.seconds);

  const std::vector<std::pair<const char*, quill::TargetDialect>> dialects = {
      {"MS SQL", quill::TargetDialect::MsSql},         {"Oracle", quill::TargetDialect::Oracle},
      {"Pervasive", quill::TargetDialect::Pervasive}, {"MySql", quill::TargetDialect::MySql},
      {"PostgreSQL", quill::TargetDialect::PostgreSql},
  };
  for (const auto& [name, dialect] : dialects) {
    const quill::bench::Measurement run = quill::bench::MeasureBestOfThree([&] {
      BenchUserInterface ui;
      RunScript(folder, dialect, ui);
    });
    BenchUserInterface ui;
    RunScript(folder, dialect, ui);
    std::printf("%-10s    : %.2f s (%.2f s CPU), %.1f MB, peak %.1f MB, %.2f x the dump\n", name, run.seconds,
                run.cpu_seconds, ui.bytes / 1048576.0, run.peak_kib / 1024.0, run.seconds / dump.seconds);
  }

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
