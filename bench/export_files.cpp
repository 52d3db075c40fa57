// The three exports of a 1,000,000-row SQLite table (integer key, text with
// quotes, real, timestamp, 20% NULLs, a small BLOB in every fourth row),
// each a whole run from connecting to the footer, in rows per second, beside
// a peer doing comparable work on the same rows, taking turns in the same run:
//   Access file   beside sqlite3 copying the table into a new database file
//                 (`ATTACH` the source, `CREATE TABLE AS SELECT`): both read
//                 the rows and write a new database file holding them (no
//                 tool of this system writes an Access file);
//   CSV files     beside `sqlite3 -csv FILE "SELECT * FROM bench"`: the same
//                 rows as the same kind of text;
//   XML files     beside `sqlite3 -html`: each value in its markup, escaped,
//                 the closest the peer has to an XML document.
//
// Usage: bench_export_files [rows]     (default 1000000)
// Target: each export takes at most 1.0 x its peer's time. Medians of five
// rounds taking turns, each run a new process (its start counted).

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

// Step arguments: the kind (0 Access, 1 CSV, 2 XML), the run folder, the output.
void ExportStep(const std::vector<std::string>& arguments) {
  RunExport(static_cast<Kind>(std::stoi(arguments.at(0))), arguments.at(1), arguments.at(2));
}

Measurement Export(Kind kind, const fs::path& folder, const fs::path& out) {
  return quill::bench::MeasureStep("export", {std::to_string(static_cast<int>(kind)), folder.string(), out.string()});
}

}  // namespace

int main(int argc, char** argv) {
  const int step = quill::bench::RunStepIfAsked(argc, argv, {{"export", ExportStep}});
  if (step >= 0) return step;
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  const auto [folder, database] = quill::bench::SetUpSqliteBench("quill-bench-export", rows);
  if (folder.empty()) return 2;

  const fs::path mdb = folder / "bench.mdb";
  const fs::path csv_folder = folder / "csv";
  const fs::path xml_folder = folder / "xml";
  fs::create_directories(csv_folder);
  fs::create_directories(xml_folder);
  const fs::path peer_csv = folder / "peer.csv";

  const fs::path peer_db = folder / "peer.sqlite";
  const fs::path peer_html = folder / "peer.html";
  std::vector<Measurement> access_runs, copy_runs, csv_runs, sqlite_csv_runs, xml_runs, html_runs;
  for (int round = 0; round < 5; ++round) {
    fs::remove(mdb);
    access_runs.push_back(Export(Kind::Access, folder, mdb));
    fs::remove(peer_db);
    copy_runs.push_back(quill::bench::MeasureProgram(
        {"sqlite3", peer_db.string(), "ATTACH '" + database.string() + "' AS source; "
                                      "CREATE TABLE bench AS SELECT * FROM source.bench;"}));
    csv_runs.push_back(Export(Kind::Csv, folder, csv_folder));
    sqlite_csv_runs.push_back(
        quill::bench::MeasureProgram({"sqlite3", "-csv", database.string(), "SELECT * FROM bench"}, peer_csv.string()));
    xml_runs.push_back(Export(Kind::Xml, folder, xml_folder));
    html_runs.push_back(quill::bench::MeasureProgram({"sqlite3", "-html", database.string(), "SELECT * FROM bench"},
                                                     peer_html.string()));
  }
  const Measurement access = quill::bench::Median(access_runs);
  const Measurement copy = quill::bench::Median(copy_runs);
  const Measurement csv = quill::bench::Median(csv_runs);
  const Measurement sqlite_csv = quill::bench::Median(sqlite_csv_runs);
  const Measurement xml = quill::bench::Median(xml_runs);
  const Measurement html = quill::bench::Median(html_runs);

  std::printf("%ld rows, medians of five rounds taking turns\n", rows);
  Print("Access export (whole run)", access, rows, mdb);
  Print("sqlite3 copying it into a new file", copy, rows, peer_db);
  Print("CSV export (whole run)", csv, rows, csv_folder / "bench.csv");
  Print("sqlite3 -csv writing the table", sqlite_csv, rows, peer_csv);
  Print("XML export (whole run)", xml, rows, xml_folder / "bench.xml");
  Print("sqlite3 -html writing the table", html, rows, peer_html);
  PrintRatio("Access export / sqlite3 copy", access, copy);
  PrintRatio("CSV export / sqlite3 -csv", csv, sqlite_csv);
  PrintRatio("XML export / sqlite3 -html", xml, html);

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
