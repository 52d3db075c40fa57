// Whole script runs against real SQLite and PostgreSQL sources: the tables
// chosen, the warnings, the stops, the header, the tab, the summary and the
// log.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

const std::string kDashes(56, '-');
const std::string kStampText(kStamp);

std::vector<std::string> Rows(int count) {
  std::vector<std::string> rows;
  for (int i = 1; i <= count; ++i) rows.push_back(std::to_string(i));
  return rows;
}

TableDescription IntegerTable(const std::string& name, int rows) {
  TableDescription table{name, {{"i", "INTEGER"}}, {"i"}, {}};
  for (const std::string& row : Rows(rows)) table.rows.push_back({row});
  return table;
}

size_t CountInserts(const std::vector<std::string>& script) {
  return std::count_if(script.begin(), script.end(),
                       [](const std::string& item) { return item.rfind("INSERT INTO", 0) == 0; });
}

TEST(ScriptRunTest, OneTableHeaderSummaryLogAndStatus) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"Order Details$", {{"id", "INTEGER"}, {"name", "VARCHAR(10)"}}, {"id"}, {{"1", "'a'"}}});
  GeneratorHarness harness;
  harness.settings.leave = true;
  harness.generator.GenerateScript(db.Dsn(), "Order Details$");

  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const ScriptDocument& tab = harness.ui.tabs()[0];
  EXPECT_EQ(tab.tab_caption, "Order_Details_");
  EXPECT_EQ(tab.tab_image, 2);
  EXPECT_EQ(tab.script.Item(0),
            "/* Created with Quillmarsh v.1.6.4.28 */\r\n/* 2026-03-04 05:06:07 */\r\n/* Type of SQL : MS SQL */\r\n");
  EXPECT_EQ(tab.script.Item(tab.script.ItemCount() - 1), "");  // the (empty) foreign-key tail
  EXPECT_EQ(tab.summary, "Source : " + db.Dsn() +
                             "\nTable : Order Details$\nColumns : 2\nRecords : 1\nLanguage : MS SQL\nDates : As they are");
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{"Type of SQL : MS SQL - Source : " + db.Dsn() + " - Table : Order Details$",
                                      kStampText + " Table : Order Details$ - OK", kStampText + " End of script.",
                                      kDashes}));
  EXPECT_EQ(harness.ui.status_texts(),
            (std::vector<std::string>{" Generating file... Table Order Details$ (ESC to abort)", " Ready "}));
  EXPECT_EQ(harness.ui.pauses(), std::vector<int>{300});
  EXPECT_EQ(harness.ui.ProgressPosition(), harness.ui.ProgressMaximum());
  EXPECT_TRUE(harness.ui.placed_messages().empty());
}

TEST(ScriptRunTest, ThreeTablesWithAnEmptyOneAndWarningsDisabled) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 2));
  db.CreateTable(IntegerTable("b", 0));
  db.CreateTable(IntegerTable("c", 1));
  GeneratorHarness harness;
  harness.settings.disable_warn = true;
  harness.settings.formatting = true;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b", "c"});
  harness.ui.AnswerMessageBox(MessageAnswer::No);  // no foreign keys
  harness.generator.GenerateScript(db.Dsn(), "");

  ASSERT_EQ(harness.ui.table_selections().size(), 1u);
  EXPECT_EQ(harness.ui.table_selections()[0].caption, "Select Tables - " + db.Dsn());
  ASSERT_EQ(harness.ui.message_boxes().size(), 1u);
  EXPECT_EQ(harness.ui.message_boxes()[0].text, "Do you want to set foreign key(s) ?");
  EXPECT_EQ(harness.ui.message_boxes()[0].icon, MessageIcon::Question);
  EXPECT_TRUE(harness.ui.placed_messages().empty());  // the empty table only goes to the log

  const std::string empty_line = kStampText + " Cannot get data on table : b.";
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{kDashes, kStampText + " Start of script.",
                                      "Type of SQL : MS SQL - Source : " + db.Dsn() +
                                          " - Table : Selected Tables (3)",
                                      kStampText + " Table : a - OK", empty_line, kStampText + " Table : c - OK",
                                      kStampText + " End of script.", kDashes}));
  EXPECT_EQ(harness.ui.log_lines()[4].color, kLogRed);
  EXPECT_EQ(harness.ui.status_texts(),
            (std::vector<std::string>{" Generating file... Table a (1/3) (ESC to abort)",
                                      " Generating file... Table b (2/3) (ESC to abort)",
                                      " Generating file... Table c (3/3) (ESC to abort)", " Ready "}));

  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const ScriptDocument& tab = harness.ui.tabs()[0];
  EXPECT_EQ(tab.tab_image, 16);
  std::string caption = db.Dsn() + "_Sel_Tables";
  std::replace(caption.begin(), caption.end(), ' ', '_');
  EXPECT_EQ(tab.tab_caption, caption);
  EXPECT_EQ(tab.summary, "Source : " + db.Dsn() + "\nTable : Selected tables (3)\nLanguage : MS SQL\nDates : Format");
  // The designer's drop box is checked while the user leaves it so: its
  // empty drop script is an item before the first table. The empty table
  // still gets its CREATE statement, and no rows.
  EXPECT_EQ(tab.script.Items(), (std::vector<std::string>{
                           std::string(tab.script.Item(0)), "",
                           "SET DATEFORMAT mdy\r\nCREATE TABLE [a] (\r\n[i] [int] PRIMARY KEY\r\n)",
                           "INSERT INTO [a] ([i])\r\n   VALUES ('1')", "INSERT INTO [a] ([i])\r\n   VALUES ('2')",
                           "SET DATEFORMAT mdy\r\nCREATE TABLE [b] (\r\n[i] [int] PRIMARY KEY\r\n)",
                           "SET DATEFORMAT mdy\r\nCREATE TABLE [c] (\r\n[i] [int] PRIMARY KEY\r\n)",
                           "INSERT INTO [c] ([i])\r\n   VALUES ('1')", ""}));
}

TEST(ScriptRunTest, AnEmptyTableOfAOneTableRunIsAlwaysShown) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("b", 0));
  GeneratorHarness harness;
  harness.settings.disable_warn = true;
  harness.generator.GenerateScript(db.Dsn(), "b");
  ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
  EXPECT_EQ(harness.ui.placed_messages()[0].text, "Cannot get data on table : b.");
  EXPECT_EQ(harness.ui.placed_messages()[0].dx, 100);
  EXPECT_EQ(harness.ui.placed_messages()[0].dy, 60);
  EXPECT_EQ(harness.ui.tabs().at(0).summary.find("Aborted"), std::string::npos);
}

struct EscapeCase {
  std::string name;
  int poll;                    // the poll at which Escape is pressed
  ContentMode content;
  std::vector<std::string> ok_tables;  // tables logged "- OK"
};

TEST(ScriptRunTest, EscapeStopsTheRunBeforeATableOrDuringTheRows) {
  // Polls: 1 before a, 2-3 rows of a, 4 before b, 5-6 rows of b, 7 before c,
  // 8-10 rows of c. Table Only polls only before the tables.
  const std::vector<EscapeCase> cases = {
      {"before the first table", 1, ContentMode::TableAndData, {}},
      {"during the rows of the last table", 9, ContentMode::TableAndData, {"a", "b"}},
      {"during the rows of the first table", 3, ContentMode::TableAndData, {}},
      {"Table Only, before the last table", 3, ContentMode::TableOnly, {"a", "b"}},
  };
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 2));
  db.CreateTable(IntegerTable("b", 2));
  db.CreateTable(IntegerTable("c", 3));
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.name);
    GeneratorHarness harness;
    harness.settings.content = c.content;
    harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b", "c"});
    harness.ui.AnswerMessageBox(MessageAnswer::No);
    harness.ui.PressEscapeAtPoll(c.poll);
    harness.generator.GenerateScript(db.Dsn(), "");

    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(harness.ui.tabs()[0].script.Items(), std::vector<std::string>{"Aborted by user."});
    EXPECT_EQ(harness.ui.tabs()[0].summary, "Aborted by user.");
    std::vector<std::string> expected_log = {kDashes, kStampText + " Start of script.",
                                             "Type of SQL : MS SQL - Source : " + db.Dsn() +
                                                 " - Table : Selected Tables (3)"};
    for (const std::string& table : c.ok_tables) expected_log.push_back(kStampText + " Table : " + table + " - OK");
    expected_log.push_back(kStampText + " - Aborted by user.");
    expected_log.push_back(kDashes);
    EXPECT_EQ(harness.ui.LogTexts(), expected_log);
    EXPECT_EQ(harness.ui.status_texts().back(), " Ready ");
  }
}

TEST(ScriptRunTest, AFailingTableIsReportedAndTheRunGoesOnToAFullScript) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 1));
  GeneratorHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"missing", "a"});
  harness.ui.AnswerMessageBox(MessageAnswer::No);
  harness.generator.GenerateScript(db.Dsn(), "");

  ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
  EXPECT_EQ(harness.ui.placed_messages()[0].text.rfind("Error with table : missing : ", 0), 0u);
  EXPECT_EQ(harness.ui.placed_messages()[0].dx, 200);
  const std::vector<LogLine>& log = harness.ui.log_lines();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[3].text.rfind(kStampText + " Error with table : missing : ", 0), 0u);
  EXPECT_EQ(log[3].color, kLogRed);
  EXPECT_EQ(log[4].text, kStampText + " Table : a - OK");
  EXPECT_EQ(log[5].text, kStampText + " End of script.");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  EXPECT_EQ(CountInserts(harness.Script()), 1u);
}

TEST(ScriptRunTest, DebugModeWritesFiveRowsAndEndsWithItsNotice) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("seven", 7));
  for (const ContentMode content : {ContentMode::TableAndData, ContentMode::DataOnly, ContentMode::TableOnly}) {
    SCOPED_TRACE(static_cast<int>(content));
    GeneratorHarness harness;
    harness.settings.debug_mode = true;
    harness.settings.content = content;
    harness.generator.GenerateScript(db.Dsn(), "seven");

    ASSERT_EQ(harness.ui.tabs().size(), 1u);  // five of seven rows is no stop by the user
    EXPECT_EQ(harness.Script().front(),
              "/* Created with Quillmarsh v.1.6.4.28 */\r\n/* 2026-03-04 05:06:07 */\r\n/* Type of SQL : MS SQL */\r\n"
              "/* -- DEBUG MODE -- */\r\n");
    EXPECT_EQ(harness.generator.run().row_limit, 5u);
    EXPECT_EQ(CountInserts(harness.Script()), content == ContentMode::TableOnly ? 0u : 5u);
    if (content == ContentMode::TableOnly) {
      EXPECT_TRUE(harness.ui.placed_messages().empty());
    } else {
      ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
      EXPECT_EQ(harness.ui.placed_messages()[0].text, "Debug mode is ON only 5 rows of table(s) is returned.");
      EXPECT_EQ(harness.ui.placed_messages()[0].dx, 150);
      EXPECT_EQ(harness.ui.events().back(), "placed: Debug mode is ON only 5 rows of table(s) is returned.");
    }
  }
}

TEST(ScriptRunTest, DestinationSchemaPrefixesEveryStatement) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("t", 1));
  GeneratorHarness harness;
  harness.settings.ms_schema = "sales";
  harness.settings.drop = true;
  harness.generator.GenerateScript(db.Dsn(), "t");
  EXPECT_EQ(harness.Script().at(1), "DROP TABLE [sales].[t]\r\nGo\r\nCREATE TABLE [sales].[t] (\r\n[i] [int] PRIMARY KEY\r\n)");
  EXPECT_EQ(harness.Script().at(2), "INSERT INTO [sales].[t] ([i])\r\n   VALUES ('1')");
}

TEST(ScriptRunTest, ForeignKeyScriptsFrameTheTablesUnlessDataOnly) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 1));
  db.CreateTable(IntegerTable("b", 1));
  const ForeignKeyScripts designed{.add_constraint_script = "ALTER TABLE add", .drop_constraint_script = "ALTER TABLE drop",
                                   .drop_existing = true};
  {
    SCOPED_TRACE("Table and Data, designer used");
    GeneratorHarness harness;
    harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
    harness.ui.AnswerMessageBox(MessageAnswer::Yes);
    harness.ui.AnswerForeignKeyDesigner(designed);
    harness.generator.GenerateScript(db.Dsn(), "");
    ASSERT_EQ(harness.ui.designer_runs().size(), 1u);
    EXPECT_EQ(harness.ui.designer_runs()[0], (std::vector<std::string>{"a", "b"}));
    const std::vector<std::string>& script = harness.Script();
    ASSERT_EQ(script.size(), 7u);
    EXPECT_EQ(script[1], "ALTER TABLE drop");
    EXPECT_EQ(script[6], "ALTER TABLE add");
    EXPECT_EQ(harness.generator.foreign_key_scripts().add_constraint_script, "");
    EXPECT_EQ(harness.generator.foreign_key_scripts().drop_constraint_script, "");
  }
  {
    SCOPED_TRACE("Data Only: no question, no constraint items, the pending scripts emptied all the same");
    GeneratorHarness harness;
    harness.settings.content = ContentMode::DataOnly;
    harness.generator.foreign_key_scripts() = designed;
    harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
    harness.generator.GenerateScript(db.Dsn(), "");
    EXPECT_TRUE(harness.ui.message_boxes().empty());
    EXPECT_EQ(harness.Script().size(), 3u);  // header and one row of each table
    EXPECT_EQ(harness.generator.foreign_key_scripts().add_constraint_script, "");
    EXPECT_EQ(harness.generator.foreign_key_scripts().drop_constraint_script, "");
  }
  {
    SCOPED_TRACE("designer cancelled: no tab");
    GeneratorHarness harness;
    harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b"});
    harness.ui.AnswerMessageBox(MessageAnswer::Yes);
    harness.ui.AnswerForeignKeyDesigner(std::nullopt);
    harness.generator.GenerateScript(db.Dsn(), "");
    EXPECT_TRUE(harness.ui.tabs().empty());
    EXPECT_TRUE(harness.ui.status_texts().empty());
  }
}

TEST(ScriptRunTest, CancelledSelectionAddsNoTab) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 1));
  GeneratorHarness harness;
  harness.ui.AnswerTableSelection(std::nullopt);
  harness.generator.GenerateScript(db.Dsn(), "");
  EXPECT_TRUE(harness.ui.tabs().empty());
  EXPECT_TRUE(harness.ui.LogTexts().empty());
}

TEST(ScriptRunTest, DuplicateNamesFromTwoSchemasAskBeforeGoingOn) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("a");
  db.CreateSchema("b");
  db.CreateTable({"users", {{"id", "integer"}}, {}, {}, "a"});
  db.CreateTable({"users", {{"id", "integer"}}, {}, {}, "b"});
  GeneratorHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a.users", "b.users"});
  harness.ui.AnswerMessageBox(MessageAnswer::No);
  harness.generator.GenerateScript(db.Dsn(), "");
  ASSERT_EQ(harness.ui.message_boxes().size(), 1u);
  EXPECT_EQ(harness.ui.message_boxes()[0].text,
            "Duplicates table names found. (Probably from multiples schemas) Continue Anyway ? (Not recommended)");
  EXPECT_EQ(harness.ui.message_boxes()[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(harness.ui.message_boxes()[0].default_is_no);
  EXPECT_TRUE(harness.ui.tabs().empty());
}

TEST(ScriptRunTest, SystemTableRunBracketsTheNameAndReadsNoKey) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("t", 1));
  GeneratorHarness harness;
  harness.settings.extr_from_system = true;
  harness.generator.GenerateScript(db.Dsn(), "t");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  EXPECT_EQ(harness.Script().at(1), "CREATE TABLE [t] (\r\n[i] [int]\r\n)");
  EXPECT_EQ(harness.Script().at(2), "INSERT INTO [t] ([i])\r\n   VALUES ('1')");
}

TEST(ScriptRunTest, NoTablesFoundTurnsOnSystemTablesWhenTheUserAgrees) {
  TestDatabase db = TestDatabase::Sqlite();
  db.Execute("CREATE VIEW v AS SELECT 1 AS one");  // a database without tables
  GeneratorHarness harness;
  harness.ui.AnswerMessageBox(MessageAnswer::Yes);
  harness.ui.AnswerTableSelection(std::nullopt);
  harness.generator.GenerateScript(db.Dsn(), "");
  ASSERT_EQ(harness.ui.message_boxes().size(), 1u);
  EXPECT_EQ(harness.ui.message_boxes()[0].text, "No tables found, try with 'Extract system tables' enabled now ?");
  EXPECT_EQ(harness.ui.message_boxes()[0].icon, MessageIcon::Question);
  EXPECT_TRUE(harness.settings.extr_from_system);  // stays on after the run
  EXPECT_EQ(harness.ui.table_selections().size(), 1u);
  EXPECT_TRUE(harness.ui.tabs().empty());
}

}  // namespace
}  // namespace quill::testing

namespace quill::testing {
namespace {

TEST(ScriptRunTest, TextFileTableKeepsItsNameWithoutExtensionAndReadsNoKey) {
  const std::filesystem::path folder = GeneratorHarness::MakeProgramFolder();
  std::ofstream(folder / "clients.csv") << "id;name\r\n1;Ann\r\n2;O'Hara\r\n";
  // A source of the text-file driver: the Jet stand-in reads its folder.
  RegisterSystemDsn("Quill Texts", (folder / "odbcjt32.so").string(), {{"DBQ", folder.string()}});
  GeneratorHarness harness;
  harness.generator.GenerateScript("Quill Texts", "clients.csv");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  EXPECT_TRUE(harness.generator.run().text_file_table);
  EXPECT_EQ(harness.generator.run().output_table_name, "clients");
  EXPECT_EQ(harness.Script(),
            (std::vector<std::string>{harness.Script().front(),
                                      "CREATE TABLE [clients] (\r\n[id] [varchar] (255),\r\n[name] [varchar] (255)\r\n)",
                                      "INSERT INTO [clients] ([id],[name])\r\n   VALUES ('1','Ann')",
                                      "INSERT INTO [clients] ([id],[name])\r\n   VALUES ('2','O''Hara')", ""}));
  EXPECT_EQ(harness.ui.LogTexts().at(1), kStampText + " Table : clients.csv - OK");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quill::testing

namespace quill::testing {
namespace {

TEST(ScriptRunTest, ProgressStepsThroughTablesAndRows) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(IntegerTable("a", 2));
  db.CreateTable(IntegerTable("b", 0));
  db.CreateTable(IntegerTable("c", 1));
  GeneratorHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"a", "b", "c"});
  harness.ui.AnswerMessageBox(MessageAnswer::No);
  harness.generator.GenerateScript(db.Dsn(), "");
  // Tables + 1 steps; with rows, (tables + 1) x rows steps, starting at
  // rows x the table's index; one step per statement.
  EXPECT_EQ(harness.ui.progress_maximums(), (std::vector<int>{4, 8, 4}));
  EXPECT_EQ(harness.ui.progress_positions(), (std::vector<int>{0, 1, 0, 1, 2, 3, 4, 2, 3, 4}));
}

TEST(ScriptRunTest, ALastTableFailingMidRowsIsAnErrorNotAStopByTheUser) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "NULL"}, {"2", "'\\xffd8ffe000104a464946'"}, {"3", "NULL"}}});
  const std::filesystem::path folder = GeneratorHarness::MakeProgramFolder();
  std::ofstream(folder / "not a folder") << "x";  // the BLOB root is a file: writing the BLOB fails
  GeneratorHarness harness;
  harness.settings.extract_files = true;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.settings.blob_path = (folder / "not a folder").string();
  harness.generator.GenerateScript(db.Dsn(), "public.pix");

  ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
  EXPECT_EQ(harness.ui.placed_messages()[0].text.rfind("Error with table : public.pix : ", 0), 0u);
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::vector<std::string>& script = harness.Script();
  ASSERT_EQ(script.size(), 4u);  // header, CREATE, the first row, the foreign-key tail
  EXPECT_EQ(script[2], "INSERT INTO [pix] ([id],[photo])\r\n   VALUES ('1',NULL)");
  EXPECT_EQ(harness.ui.LogTexts().back(), kDashes);
  EXPECT_EQ(harness.ui.LogTexts().at(harness.ui.LogTexts().size() - 2), kStampText + " End of script.");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quill::testing
