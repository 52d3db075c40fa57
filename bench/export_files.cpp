// The three exports of a 1,000,000-row SQLite table (integer key, text with
// quotes, real, timestamp, 20% NULLs, a small BLOB in every fourth row),
// each a whole run from connecting to the footer, in rows per second, beside
// a peer tool measured in the same run:
//   Access file   beside `mdb-export FILE bench` reading that file back,
//   CSV files     beside `sqlite3 -csv FILE "SELECT * FROM bench"`,
//   XML files     beside the same sqlite3 -csv run.
//
// Usage: bench_export_files [rows]     (default 1000000)
// Target: each export takes at most 1.0 x its peer's time. Times are the best
// of three runs, each in a child process of its own.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "bench_user_interface.h"
#include "common/clock.h"
#include "export/export_run.h"
#include "sources/dsn_login_store.h"
#include "sources/settings.h"
#include "sources/source_session.h"

namespace {

namespace fs = std::filesystem;
using quill::bench::Measurement;

using quill::bench::kBenchDsn;

enum class Kind { Access, Csv, Xml };

// One whole export run into out (a folder, or the Access file's path).
void RunExport(Kind kind, const fs::path& folder, const fs::path& out) {
  // Message boxes are acknowledged and the table "bench" is chosen.
  quill::bench::BenchUserInterface ui(kBenchDsn);
  ui.answer = quill::MessageAnswer::Ok;
  ui.chosen_tables = {"bench"};
  quill::Settings settings;
  settings.debug_mode = false;
  settings.access = 1;  // Access 2000, no closing pause
  quill::DsnLoginStore logins(folder.string(), ui);
  quill::SourceSession session(settings, logins, ui);
  fs::create_directories(folder / "program" / "tmp");
  quill::ExportRun run(settings, session, ui, (folder / "program").string() + "/", &quill::SystemNow);
  switch (kind) {
    case Kind::Access: run.AccessExportRun(kBenchDsn, [&] { return out.string(); }); break;
    case Kind::Csv: run.CsvExportRun(kBenchDsn, out.string()); break;
    case Kind::Xml: run.XmlExportRun(kBenchDsn, out.string()); break;
  }
  if (ui.failed) throw std::runtime_error("the export logged a failure");
}

void Print(const char* what, const Measurement& m, long rows, const fs::path& file) {
  std::printf("%-40s %8.2f s %8.2f s CPU %12.0f rows/s %8.1f MB\n", what, m.seconds, m.cpu_seconds, rows / m.seconds,
              fs::exists(file) ? fs::file_size(file) / 1048576.0 : 0.0);
}

void PrintRatio(const char* what, const Measurement& mine, const Measurement& peer) {
  const double ratio = mine.seconds / peer.seconds;
  std::printf("%-40s %.2f x the peer (target <= 1.0): %s\n", what, ratio, ratio <= 1.0 ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const auto [folder, database] = quill::bench::SetUpSqliteBench("quill-bench-export", rows);
  if (folder.empty()) return 2;

  const fs::path mdb = folder / "bench.mdb";
  const fs::path csv_folder = folder / "csv";
  const fs::path xml_folder = folder / "xml";
  fs::create_directories(csv_folder);
  fs::create_directories(xml_folder);
  const fs::path peer_csv = folder / "peer.csv";

  const Measurement access = quill::bench::MeasureBestOfThree([&] { RunExport(Kind::Access, folder, mdb); });
  const Measurement mdb_export = quill::bench::MeasureBestOfThree([&] {
    if (quill::bench::RunProgram({"mdb-export", mdb.string(), "bench"}) != 0) throw std::runtime_error("mdb-export");
  });
  const Measurement csv = quill::bench::MeasureBestOfThree([&] { RunExport(Kind::Csv, folder, csv_folder); });
  const Measurement xml = quill::bench::MeasureBestOfThree([&] { RunExport(Kind::Xml, folder, xml_folder); });
  const Measurement sqlite_csv = quill::bench::MeasureBestOfThree([&] {
    if (quill::bench::RunProgram({"sqlite3", "-csv", database.string(), "SELECT * FROM bench"}, peer_csv.string()) !=
        0) {
      throw std::runtime_error("sqlite3 -csv");
    }
  });

  std::printf("%ld rows, best of three runs each\n", rows);
  Print("Access export (whole run)", access, rows, mdb);
  Print("mdb-export reading it", mdb_export, rows, "");
  Print("CSV export (whole run)", csv, rows, csv_folder / "bench.csv");
  Print("XML export (whole run)", xml, rows, xml_folder / "bench.xml");
  Print("sqlite3 -csv writing the table", sqlite_csv, rows, peer_csv);
  PrintRatio("Access export / mdb-export", access, mdb_export);
  PrintRatio("CSV export / sqlite3 -csv", csv, sqlite_csv);
  PrintRatio("XML export / sqlite3 -csv", xml, sqlite_csv);

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
