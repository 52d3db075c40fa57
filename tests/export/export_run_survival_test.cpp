// Runs that meet a failing table, a dropped connection, a full disk or
// Escape between rows: the table gets its red line, the run goes on (or
// ends) with its footer, and no earlier file is lost; in all three exports.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "export_harness.h"
#include "fixtures/test_database.h"
#include "platform/jet/jet_writer_readers.h"

namespace quill::testing {
namespace {

using jet::writer_testing::ExportRows;
using jet::writer_testing::RunCommand;

enum class Export { Access, Csv, Xml };

std::string Name(Export kind) { return kind == Export::Access ? "Access" : kind == Export::Csv ? "Csv" : "Xml"; }
std::string Extension(Export kind) { return kind == Export::Csv ? ".csv" : ".xml"; }

void RunExport(ExportHarness& harness, Export kind, const std::string& dsn) {
  switch (kind) {
    case Export::Access: harness.ExportAccess(dsn); break;
    case Export::Csv: harness.run.CsvExportRun(dsn, harness.out.string()); break;
    case Export::Xml: harness.run.XmlExportRun(dsn, harness.out.string()); break;
  }
}

// The tables the export wrote: the Access file's tables with their row
// counts, or the CSV and XML files' names.
std::vector<std::string> Written(const ExportHarness& harness, Export kind) {
  std::vector<std::string> written;
  if (kind == Export::Access) {
    const std::string file = harness.OutFile("NewDatabase.mdb");
    if (!std::filesystem::exists(file)) return written;
    const std::string tables = RunCommand({"mdb-tables", "-1", file});
    std::size_t start = 0;
    for (std::size_t end; (end = tables.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string table = tables.substr(start, end - start);
      written.push_back(table + " " + std::to_string(ExportRows(file, table).size()));
    }
    return written;
  }
  for (const std::string& file : harness.OutFiles()) {
    if (file.size() > 4 && file.substr(file.size() - 4) == Extension(kind)) written.push_back(file);
  }
  return written;
}

std::string FailureLine(Export kind, const std::string& table) {
  if (kind == Export::Access) return kExportStamp + "  Structure of table " + table + " could not be created... skipping";
  return kExportStamp + " Table " + table + " not exported.";
}

bool HasRedLine(const ExportHarness& harness, const std::string& text) {
  const std::vector<LogLine>& lines = harness.ui.log_lines();
  return std::any_of(lines.begin(), lines.end(),
                     [&](const LogLine& line) { return line.text == text && line.color == kLogRed; });
}

// The footer and its dashes close the log.
void ExpectFooter(const ExportHarness& harness, Export kind) {
  const std::vector<std::string> log = harness.ui.LogTexts();
  ASSERT_GE(log.size(), 2u);
  const std::string end = kind == Export::Access ? " End of generating Access file."
                          : kind == Export::Csv  ? " End of generating Excel csv file(s)."
                                                 : " End of generating xml file(s).";
  EXPECT_EQ(log[log.size() - 2], kExportStamp + end);
  EXPECT_EQ(log.back(), kDashLine);
}

class ExportSurvivalTest : public ::testing::TestWithParam<Export> {};

TEST_P(ExportSurvivalTest, ATableGoneBetweenListingAndReadingIsLoggedAndTheRunGoesOn) {
  const Export kind = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("a", 2));
  db.CreateTable(NumberTable("gone", 1));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "gone", "b"});
  harness.ui.on_poll = [&](int poll) {
    if (poll == 1) db.Execute("DROP TABLE gone");
  };
  RunExport(harness, kind, db.Dsn());

  EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "gone"))) << ::testing::PrintToString(harness.ui.LogTexts());
  ExpectFooter(harness, kind);
  const std::vector<std::string> expected =
      kind == Export::Access ? std::vector<std::string>{"a 2", "b 1"}
                             : std::vector<std::string>{"a" + Extension(kind), "b" + Extension(kind)};
  EXPECT_EQ(Written(harness, kind), expected);
}

// The server ends the session while the first table is being written: the
// tables after it fail with their red lines and the reason, and the run ends
// with its footer, keeping what was written.
TEST_P(ExportSurvivalTest, AConnectionDroppedMidRunLogsTheFailedTablesAndKeepsTheRest) {
  const Export kind = GetParam();
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable(NumberTable("a", 3));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a", "public.b"});
  if (kind != Export::Access) harness.ui.AnswerMessageBox(MessageAnswer::Yes);  // drop the schema
  harness.ui.on_poll = [&](int poll) {
    if (poll == 2) {
      db.Execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() "
                 "AND pid <> pg_backend_pid()");
    }
  };
  RunExport(harness, kind, db.Dsn());

  EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "public.b"))) << ::testing::PrintToString(harness.ui.LogTexts());
  ExpectFooter(harness, kind);
  const std::vector<std::string> expected = kind == Export::Access ? std::vector<std::string>{"a 3"}
                                                                     : std::vector<std::string>{"a" + Extension(kind)};
  EXPECT_EQ(Written(harness, kind), expected);
}

// Escape between two rows ends the run after that table: an Access file keeps
// the rows copied, a CSV or XML file is not replaced by a cut one.
TEST_P(ExportSurvivalTest, EscapeBetweenRowsStopsTheRunAndKeepsWhatWasWritten) {
  const Export kind = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("a", 3));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  if (kind != Export::Access) std::ofstream(harness.OutFile("a" + Extension(kind))) << "earlier";
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
  harness.ui.PressEscapeAtPoll(2);  // 1: before table a; 2: between its first and second rows
  RunExport(harness, kind, db.Dsn());

  ExpectFooter(harness, kind);
  if (kind == Export::Access) {
    EXPECT_TRUE(HasRedLine(harness, kExportStamp + " Problems during data transfer of table a, table skipped."));
    EXPECT_EQ(Written(harness, kind), std::vector<std::string>{"a 1"});
  } else {
    EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "a")));
    EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"a" + Extension(kind)});
    EXPECT_EQ(harness.Contents("a" + Extension(kind)), "earlier");
  }
}

// A full disk (here the file-size limit): the files that cannot be completed
// are not written, the earlier ones stay as they were, and the run ends with
// its footer. The Access file is one file: the earlier one stays whole.
TEST_P(ExportSurvivalTest, AFullDiskLosesNoEarlierFile) {
  const Export kind = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("big", 20000));
  db.CreateTable(NumberTable("small", 2));
  ExportHarness harness;
  const std::string kept = kind == Export::Access ? "NewDatabase.mdb" : "big" + Extension(kind);
  std::ofstream(harness.OutFile(kept)) << "earlier";
  harness.ui.AnswerTableSelection(std::vector<std::string>{"big", "small"});

  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 64 * 1024;
  setrlimit(RLIMIT_FSIZE, &limit);
  RunExport(harness, kind, db.Dsn());
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  ExpectFooter(harness, kind);
  EXPECT_EQ(harness.Contents(kept), "earlier");
  if (kind == Export::Access) {
    EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{kept});
    const std::vector<LogLine>& lines = harness.ui.log_lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const LogLine& line) {
      return line.color == kLogRed && line.text.find("Cannot write the database") != std::string::npos;
    })) << ::testing::PrintToString(harness.ui.LogTexts());
  } else {
    EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "big")));
    EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{kept, "small" + Extension(kind)}));
  }
}

// An Access run in which every table fails writes nothing, so the earlier
// file at the chosen path stays as it was.
TEST(ExportSurvivalAccessTest, ARunThatWritesNoTableKeepsTheEarlierFile) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 1));
  ExportHarness harness;
  std::ofstream(harness.OutFile("NewDatabase.mdb")) << "earlier";
  harness.ui.AnswerTableSelection(std::vector<std::string>{"missing", "gone"});
  harness.ExportAccess(db.Dsn());

  EXPECT_EQ(harness.Contents("NewDatabase.mdb"), "earlier");
  EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"NewDatabase.mdb"});
  EXPECT_TRUE(HasRedLine(harness, FailureLine(Export::Access, "missing")));
  EXPECT_TRUE(HasRedLine(harness, kExportStamp + " No table was exported; " + harness.OutFile("NewDatabase.mdb") +
                                      " is left as it was."));
  ExpectFooter(harness, Export::Access);
}

// A folder that does not exist fails every table, and the run still ends
// with its footer.
TEST_P(ExportSurvivalTest, AMissingFolderFailsEachTableInRed) {
  const Export kind = GetParam();
  if (kind == Export::Access) GTEST_SKIP() << "the Access file is chosen in a save dialog";
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("a", 1));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
  const std::string folder = (harness.out / "no" / "such").string();
  if (kind == Export::Csv) harness.run.CsvExportRun(db.Dsn(), folder);
  if (kind == Export::Xml) harness.run.XmlExportRun(db.Dsn(), folder);
  EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "a")));
  EXPECT_TRUE(HasRedLine(harness, FailureLine(kind, "b")));
  ExpectFooter(harness, kind);
  EXPECT_FALSE(std::filesystem::exists(harness.out / "no"));
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportSurvivalTest, ::testing::Values(Export::Access, Export::Csv, Export::Xml),
                         [](const ::testing::TestParamInfo<Export>& info) { return Name(info.param); });

}  // namespace
}  // namespace quill::testing
