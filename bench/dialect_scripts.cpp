// The script of a SQLite table in each of the five dialects, as the user
// waits for it, beside `sqlite3 FILE .dump` of the same file:
//   shown   in the program's main window, a double-click on the table to
//           the painted script tab (the window's progress bar, status text
//           and Escape poll in the run)
//   script  the same run through the same window, from its start to the
//           script saved to a file
// Each round takes turns: the dump, then each dialect's script and shown
// run, each a new process as the dump is (CPU and memory the whole
// process's); the wait is timed from the user's double-click. Figures are medians of five
// rounds; x is the ratio to the dump of the same rounds.
//
// Usage: bench_dialect_scripts [rows]     (default 1000000)
// Target at 1,000,000 rows: shown at most 1.1 x the dump in every dialect
// (MS SQL at most 1.0 x).

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "bench_window_run.h"
#include "sources/settings.h"

namespace {

namespace fs = std::filesystem;
using quill::bench::Measurement;

const std::vector<std::pair<const char*, quill::TargetDialect>> kDialects = {
    {"MS SQL", quill::TargetDialect::MsSql},         {"Oracle", quill::TargetDialect::Oracle},
    {"Pervasive", quill::TargetDialect::Pervasive}, {"MySql", quill::TargetDialect::MySql},
    {"PostgreSQL", quill::TargetDialect::PostgreSql},
};

// Step arguments: dialect number, run folder, result file.
void ShowStep(const std::vector<std::string>& arguments) {
  const auto dialect = static_cast<quill::TargetDialect>(std::stoi(arguments.at(0)));
  const auto shown = quill::bench::ShowInWindow(arguments.at(1), dialect, quill::bench::kBenchDsn, "bench");
  std::ofstream(arguments.at(2)) << shown.bytes << ' ' << shown.seconds;
}

void ScriptStep(const std::vector<std::string>& arguments) {
  const auto dialect = static_cast<quill::TargetDialect>(std::stoi(arguments.at(0)));
  const fs::path script = fs::path(arguments.at(1)) / "script.sql";
  const auto saved =
      quill::bench::SaveThroughWindow(arguments.at(1), dialect, quill::bench::kBenchDsn, "bench", script);
  fs::remove(script);
  std::ofstream(arguments.at(2)) << saved.bytes << ' ' << saved.seconds;
}

std::pair<std::size_t, double> ReadResult(const fs::path& file) {
  std::ifstream in(file);
  std::size_t bytes = 0;
  double seconds = 0;
  in >> bytes >> seconds;
  return {bytes, seconds};
}

}  // namespace

int main(int argc, char** argv) {
  const int step = quill::bench::RunStepIfAsked(argc, argv, {{"shown", ShowStep}, {"script", ScriptStep}});
  if (step >= 0) return step;
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto [folder, database] = quill::bench::SetUpSqliteBench("quill-bench-dialects", rows);
  if (folder.empty()) return 2;
  // Qt wants a runtime folder of the user's own (0700), as the run folder is.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", folder.c_str());
  int status = 0;
  try {
    constexpr int kRounds = 5;
    const fs::path result = folder / "result";
    std::vector<Measurement> dumps;
    std::vector<std::vector<Measurement>> shown(kDialects.size()), scripts(kDialects.size());
    std::vector<std::size_t> bytes(kDialects.size());
    for (int round = 0; round < kRounds; ++round) {
      dumps.push_back(
          quill::bench::MeasureProgram({"sqlite3", database.string(), ".dump"}, (folder / "dump.sql").string()));
      fs::remove(folder / "dump.sql");
      for (std::size_t d = 0; d < kDialects.size(); ++d) {
        const std::vector<std::string> arguments = {std::to_string(static_cast<int>(kDialects[d].second)),
                                                    folder.string(), result.string()};
        scripts[d].push_back(quill::bench::MeasureStep("script", arguments));
        scripts[d].back().seconds = ReadResult(result).second;
        shown[d].push_back(quill::bench::MeasureStep("shown", arguments));
        const auto [size, seconds] = ReadResult(result);
        shown[d].back().seconds = seconds;
        bytes[d] = size;
      }
    }
    const Measurement dump = quill::bench::Median(dumps);
    std::printf("%ld rows, medians of %d rounds taking turns; sqlite3 .dump: %.2f s (%.2f s CPU)\n", rows, kRounds,
                dump.seconds, dump.cpu_seconds);
    for (std::size_t d = 0; d < kDialects.size(); ++d) {
      const Measurement s = quill::bench::Median(scripts[d]);
      const Measurement w = quill::bench::Median(shown[d]);
      std::printf("%-10s : shown %.2f s (%.2fx), script %.2f s (%.2fx, %.2f s CPU), %.1f MB, peak shown %.1f MB\n",
                  kDialects[d].first, w.seconds, w.seconds / dump.seconds, s.seconds, s.seconds / dump.seconds,
                  s.cpu_seconds, bytes[d] / 1048576.0, w.peak_kib / 1024.0);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_dialect_scripts: %s\n", error.what());
    status = 1;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return status;
}
