// A real-world database that a Debian package ships (proj-data's proj.db:
// 35 tables, text and numeric codes, doubles, booleans, keys over two
// columns) exported to all three formats and compared value for value with
// the database by readers that are not the program's (export_check.py).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export_harness.h"
#include "fixtures/test_database.h"
#include "platform/jet/jet_writer_readers.h"

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProjDatabase = "/usr/share/proj/proj.db";

TEST(RealWorldExportTest, ProjDatabaseInAllThreeFormatsReadsBackValueForValue) {
  ASSERT_TRUE(fs::exists(kProjDatabase)) << kProjDatabase << " is missing: install proj-data";
  TestDatabase db = TestDatabase::Sqlite();
  db.Disconnect();
  fs::copy_file(kProjDatabase, db.DatabaseName(), fs::copy_options::overwrite_existing);
  std::vector<std::string> tables;
  for (const QueryRow& row : db.Query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                      "'sqlite\\_%' ESCAPE '\\' ORDER BY name")) {
    tables.push_back(*row[0]);
  }
  db.Disconnect();
  ASSERT_GE(tables.size(), 30u);

  ExportHarness harness;
  harness.settings.disable_warn = true;  // keys the format cannot hold: red lines, no boxes
  harness.settings.access = 1;
  const fs::path csv = harness.out / "csv";
  const fs::path xml = harness.out / "xml";
  fs::create_directories(csv);
  fs::create_directories(xml);
  harness.ui.AnswerTableSelection(tables);
  harness.run.CsvExportRun(db.Dsn(), csv.string());
  harness.ui.AnswerTableSelection(tables);
  harness.run.XmlExportRun(db.Dsn(), xml.string());
  harness.ui.AnswerTableSelection(tables);
  harness.ExportAccess(db.Dsn(), "proj.mdb");

  const std::string work = harness.OutFile("check");
  fs::create_directories(work);
  {
    std::ofstream listing(work + "/tables.txt");
    for (const std::string& table : tables) listing << table << "\n";
    std::ofstream node(work + "/node.txt");
    for (const std::string& line : jet::writer_testing::NodeReaderLines(harness.OutFile("proj.mdb"))) {
      node << line << "\n";
    }
    std::ofstream red(work + "/red.txt");
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.color) red << line.text << "\n";
    }
  }
  int status = 0;
  const std::string report = jet::writer_testing::RunCommand(
      {"python3", std::string(QUILL_SOURCE_DIR) + "/tests/export/export_check.py", db.DatabaseName(),
       work + "/tables.txt", csv.string(), xml.string(), harness.OutFile("proj.mdb"), work + "/node.txt",
       work + "/red.txt"},
      &status);
  EXPECT_EQ(status, 0) << report;
  std::cout << report.substr(0, report.find('\n')) << "\n";
}

}  // namespace
}  // namespace quill::testing
