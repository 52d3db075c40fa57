// CSV files read back byte for byte and by Python's csv reader, and the
// export frame driven through the CSV export over real SQLite and PostgreSQL
// sources.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "export_harness.h"
#include "export_readers.h"
#include "fixtures/test_database.h"

namespace quill::testing {
namespace {

TableDescription PeopleTable() {
  return {"people",
          {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}, {"price", "REAL"}},
          {"id"},
          {{"1", "'Ann;Lee'"}, {"2", "NULL", "NULL"}, {"3", "'Zoë €'", "0"}, {"4", "'日本'", "2.5"}}};
}

std::string Numbers(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += std::to_string(i) + "\r\n";
  return text;
}

TEST(CsvExportTest, RowsAsSemicolonTextInUtf8QuotedOnlyWhereAReaderNeedsIt) {
  TestDatabase db = TestDatabase::Sqlite();
  TableDescription people = PeopleTable();
  people.rows[0].push_back("1.25");
  db.CreateTable(people);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"people"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  // No header, no byte-order mark; the value holding ";" is quoted, every
  // other value is its text as it stands, in UTF-8.
  EXPECT_EQ(harness.Contents("people.csv"), "1;\"Ann;Lee\";1.25\r\n2;;\r\n3;Zoë €;0\r\n4;日本;2.5\r\n");
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{kDashLine, kExportStamp + " Start of generating Excel csv file... 1 tables to export.",
                                      kExportStamp + " Table people exported.",
                                      kExportStamp + " End of generating Excel csv file(s).", kDashLine}));
  EXPECT_EQ(harness.ui.status_texts(),
            (std::vector<std::string>{" Generating Excel csv file... ", " Generating file... Table people (ESC to abort)",
                                      " Ready "}));
  ASSERT_EQ(harness.ui.table_selections().size(), 1u);
  EXPECT_EQ(harness.ui.table_selections()[0].caption, "Select Tables - " + db.Dsn());
  EXPECT_EQ(harness.ui.table_selections()[0].listed_tables, std::vector<std::string>{"people"});
}

// Values a reader could not split unquoted, and text beyond any single-byte
// code page, read back value for value by Python's csv module.
TEST(CsvExportTest, APythonCsvReaderGetsEveryValueBack) {
  const std::vector<std::string> values = {
      "semi;colon", "say \"hi\"", "\"", "cr\ronly", "lf\nonly", "crlf\r\nboth", ";\"\r\n;", "  blanks  ",
      "Ελληνικά", "Кириллица", "日本語", "Łukasiewicz", "emoji 😀", "plain", "'single'", ""};
  TableDescription table{"awkward", {{"id", "INTEGER"}, {"s", "TEXT"}, {"n", "INTEGER"}}, {"id"}, {}};
  TextRows expected;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string literal = "'";
    for (const char c : values[i]) literal += c == '\'' ? std::string("''") : std::string(1, c);
    literal += "'";
    table.rows.push_back({std::to_string(i), literal, i % 2 == 0 ? "NULL" : "7"});
    expected.push_back({std::to_string(i), values[i], i % 2 == 0 ? "" : "7"});
  }
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(table);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"awkward"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_EQ(ReadCsvFile(harness.OutFile("awkward.csv")), expected);
}

TEST(CsvExportTest, AnExistingFileIsReplaced) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 2));
  ExportHarness harness;
  { std::ofstream(harness.OutFile("t.csv")) << "older and longer content\r\n"; }
  harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_EQ(harness.Contents("t.csv"), Numbers(1, 2));
}

TEST(CsvExportTest, DebugModeWritesFiveRowsAndShowsTheNoticeAfterTheFooter) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("many", 7));
  db.CreateTable(NumberTable("few", 3));
  ExportHarness harness;
  harness.settings.debug_mode = true;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"many", "few"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  EXPECT_EQ(harness.Contents("many.csv"), Numbers(1, 5));
  EXPECT_EQ(harness.Contents("few.csv"), Numbers(1, 3));
  ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
  EXPECT_EQ(harness.ui.placed_messages()[0].text, "Debug mode is ON only 5 rows of table(s) is returned.");
  EXPECT_EQ(harness.ui.placed_messages()[0].dx, 150);
  EXPECT_EQ(harness.ui.placed_messages()[0].dy, 60);
  const std::vector<std::string>& events = harness.ui.events();
  const auto footer = std::find(events.begin(), events.end(), "log: " + kDashLine);
  ASSERT_NE(footer, events.end());
  EXPECT_NE(std::find(footer + 1, events.end(), "log: " + kDashLine), events.end());
  EXPECT_EQ(events.at(events.size() - 2).rfind("placed: ", 0), 0u) << events.at(events.size() - 2);
}

TEST(CsvExportTest, AnEmptyTableIsLoggedInRedAndSkipped) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("empty", 0));
  db.CreateTable(NumberTable("full", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"empty", "full"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"full.csv"});
  const std::vector<LogLine>& lines = harness.ui.log_lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].text, kExportStamp + " Cannot get data on table : empty.");
  EXPECT_EQ(lines[2].color, kLogRed);
  EXPECT_EQ(lines[3].text, kExportStamp + " Table full exported.");
  EXPECT_EQ(harness.ui.progress_positions(), (std::vector<int>{0, 1, 2, 2}));
  EXPECT_EQ(harness.ui.ProgressMaximum(), 2);
}

TEST(CsvExportTest, EscapeBeforeTheFirstTableWritesHeaderAndFooterOnly) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 1));
  ExportHarness harness;
  harness.ui.PressEscapeAtPoll(1);
  harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  EXPECT_TRUE(harness.OutFiles().empty());
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{kDashLine, kExportStamp + " Start of generating Excel csv file... 1 tables to export.",
                                      kExportStamp + " End of generating Excel csv file(s).", kDashLine}));
}

TEST(CsvExportTest, EscapeBetweenTablesStopsAfterTheCurrentOne) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("a", 1));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  harness.ui.PressEscapeAtPoll(2);
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"a.csv"});
}

TEST(CsvExportTest, CancelledFolderOrSelectionEndsTheRunSilently) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 1));
  ExportHarness harness;
  harness.run.CsvExportRun(db.Dsn(), "");
  EXPECT_TRUE(harness.ui.table_selections().empty());

  harness.ui.AnswerTableSelection(std::nullopt);
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_TRUE(harness.ui.log_lines().empty());
  EXPECT_TRUE(harness.ui.status_texts().empty());
  EXPECT_TRUE(harness.OutFiles().empty());
}

// A write that fails part-way (here the file-size limit) gives the red line,
// keeps the earlier file as it was and leaves no partial file behind; the
// run goes on with the next table.
TEST(CsvExportTest, AFailedWriteKeepsTheEarlierFileAndTheRunGoesOn) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("big", 5000));
  db.CreateTable(NumberTable("small", 2));
  ExportHarness harness;
  { std::ofstream(harness.OutFile("big.csv")) << "earlier\r\n"; }
  harness.ui.AnswerTableSelection(std::vector<std::string>{"big", "small"});

  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old_limit;
  limit.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &limit);
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_EQ(harness.Contents("big.csv"), "earlier\r\n");
  EXPECT_EQ(harness.Contents("small.csv"), Numbers(1, 2));
  EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{"big.csv", "small.csv"}));
  const std::vector<std::string> log = harness.ui.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + " Table big not exported."), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), kExportStamp + " Table small exported."), log.end());
}

// Two tables of one schema: the question decides whether the prefix stays.
struct SchemaAnswerCase {
  MessageAnswer answer;
  std::vector<std::string> files;
  friend void PrintTo(const SchemaAnswerCase& c, std::ostream* out) {
    *out << (c.answer == MessageAnswer::Yes ? "Yes" : "No");
  }
};

class CsvSchemaQuestionTest : public ::testing::TestWithParam<SchemaAnswerCase> {};

TEST_P(CsvSchemaQuestionTest, TheAnswerNamesTheFiles) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable(NumberTable("a", 1));
  db.CreateTable(NumberTable("b", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a", "public.b"});
  harness.ui.AnswerMessageBox(GetParam().answer);
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());

  ASSERT_EQ(harness.ui.message_boxes().size(), 1u);
  EXPECT_EQ(harness.ui.message_boxes()[0].text, "All tables are from same schema. Remove schema info ?");
  EXPECT_EQ(harness.ui.message_boxes()[0].icon, MessageIcon::Question);
  EXPECT_EQ(harness.ui.message_boxes()[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(harness.OutFiles(), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(Answers, CsvSchemaQuestionTest,
                         ::testing::Values(SchemaAnswerCase{MessageAnswer::Yes, {"a.csv", "b.csv"}},
                                           SchemaAnswerCase{MessageAnswer::No, {"public.a.csv", "public.b.csv"}}));

TEST(CsvExportTest, OneTableOrTablesOfTwoSchemasAskNothing) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("sales");
  db.CreateTable(NumberTable("a", 1));
  TableDescription b = NumberTable("b", 1);
  b.schema = "sales";
  db.CreateTable(b);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_EQ(harness.OutFiles(), std::vector<std::string>{"a.csv"});

  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a", "sales.b"});
  harness.run.CsvExportRun(db.Dsn(), harness.out.string());
  EXPECT_TRUE(harness.ui.message_boxes().empty());
  EXPECT_EQ(harness.OutFiles(), (std::vector<std::string>{"a.csv", "public.a.csv", "sales.b.csv"}));
}

}  // namespace
}  // namespace quill::testing
