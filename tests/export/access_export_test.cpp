// Access files made by the export and read back with mdbtools: structure,
// keys, rows, the options that change them, and the run's log lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "export/access_export.h"
#include "export_harness.h"
#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "platform/connection/connection.h"
#include "platform/jet/jet_writer_readers.h"
#include "sources/source_session.h"

namespace quill::testing {
namespace {

using jet::writer_testing::ExportRows;
using jet::writer_testing::RunCommand;
using Rows = std::vector<std::vector<std::string>>;

std::string Schema(const std::string& file) { return RunCommand({"mdb-schema", "--indexes", file, "mysql"}); }

TEST(AccessExportTest, ColumnsKeyAndRowsOfASqliteTable) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"people",
                  {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}, {"price", "REAL"}, {"ok", "BOOLEAN"}, {"d", "DATE"},
                   {"m", "TEXT"}},
                  {"id"},
                  {{"1", "'Ann'", "2.5", "1", "'2024-02-29'", "'memo'"},
                   {"2", "NULL", "NULL", "NULL", "NULL", "NULL"},
                   {"3", "''", "0", "0", "NULL", "''"}}});
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"people"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  const std::string schema = Schema(file);
  EXPECT_NE(schema.find("CREATE TABLE `people`\n (\n\t`id`\t\t\tint NOT NULL, \n\t`name`\t\t\tvarchar (20), \n"
                        "\t`price`\t\t\tfloat, \n\t`ok`\t\t\tboolean NOT NULL, \n\t`d`\t\t\tdatetime, \n"
                        "\t`m`\t\t\ttext\n);"),
            std::string::npos)
      << schema;
  EXPECT_NE(schema.find("ALTER TABLE `people` ADD PRIMARY KEY (`id`);"), std::string::npos) << schema;
  // Empty texts stay Null; an empty Boolean is false.
  EXPECT_EQ(ExportRows(file, "people"), (Rows{{"1", "Ann", "2.5", "1", "2024-02-29 00:00:00", "memo"},
                                              {"2", "NULL", "NULL", "0", "NULL", "NULL"},
                                              {"3", "NULL", "0", "0", "NULL", "NULL"}}));
  EXPECT_EQ(harness.ui.LogTexts(),
            (std::vector<std::string>{kDashLine, kExportStamp + " Start of generating Access file... 1 tables to export.",
                                      kExportStamp + " Structure of table people created.",
                                      kExportStamp + " Content of table people exported.",
                                      kExportStamp + " End of generating Access file.", kDashLine}));
  EXPECT_EQ(harness.ui.status_texts(),
            (std::vector<std::string>{" Generating Access file... ", " Generating file... Table people (ESC to abort)",
                                      " Ready "}));
  // Three rows of one table: the bar runs over 1 x 3 rows, then one more step.
  EXPECT_EQ(harness.ui.progress_positions(), (std::vector<int>{0, 0, 1, 2, 3, 4, 3}));
}

// A chosen file whose path holds ";" or quotes is the file written, and is
// read back through the Jet provider by the same path; the file that the
// path would name if cut there is left as it was.
TEST(AccessExportTest, AFilePathWithConnectionStringCharactersIsTheFileWritten) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 2));
  const std::vector<std::string> names = {"cut;x.mdb", "cut;Data Source=cut", "\"cut\"", "\"cut\";x.mdb", "'cut';x",
                                          " cut", "cut;Jet OLEDB:Engine Type=4"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    ExportHarness harness;
    { std::ofstream(harness.OutFile("cut")) << "kept"; }
    harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
    harness.ExportAccess(db.Dsn(), name);
    const std::string file = harness.OutFile(name);
    EXPECT_EQ(harness.Contents("cut"), "kept");
    EXPECT_EQ(RunCommand({"mdb-ver", file}), "JET4\n");
    EXPECT_EQ(ExportRows(file, "t"), (Rows{{"1"}, {"2"}}));
    Connection connection;
    connection.SetConnectionString(JetConnectionString(file));
    connection.Open("", "");
    auto table = connection.OpenTable("t");
    int rows = 0;
    for (; !table->Eof(); table->Next()) ++rows;
    EXPECT_EQ(rows, 2);
  }
}

TEST(AccessExportTest, DebugModeCopiesAtMostFiveRows) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("many", 7));
  db.CreateTable(NumberTable("few", 3));
  ExportHarness harness;
  harness.settings.debug_mode = true;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"many", "few"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  EXPECT_EQ(ExportRows(file, "many"), (Rows{{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
  EXPECT_EQ(ExportRows(file, "few"), (Rows{{"1"}, {"2"}, {"3"}}));
  ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
  EXPECT_EQ(harness.ui.placed_messages()[0].dx, 150);
}

// The format item picks the engine; Access 97 waits before closing.
struct FormatCase {
  int access;
  std::string version;  // as mdb-ver prints it
  bool waits;
  friend void PrintTo(const FormatCase& c, std::ostream* out) { *out << "item " << c.access; }
};

class AccessFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AccessFormatTest, EngineOfTheNewFileReplacingAnOldOne) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 2));
  ExportHarness harness;
  harness.settings.access = GetParam().access;
  { std::ofstream(harness.OutFile("NewDatabase.mdb")) << "not a database"; }
  harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  EXPECT_EQ(RunCommand({"mdb-ver", file}), GetParam().version + "\n");
  EXPECT_EQ(ExportRows(file, "t"), (Rows{{"1"}, {"2"}}));
  EXPECT_EQ(harness.ui.pauses(), GetParam().waits ? std::vector<int>{1000} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(Items, AccessFormatTest,
                         ::testing::Values(FormatCase{0, "JET3", true}, FormatCase{1, "JET4", false},
                                           FormatCase{-1, "JET4", false}));

// A key over several columns keys them all, in the key's order (here not the
// columns' order), in both file formats; the first key column repeats.
class AccessCompositeKeyTest : public ::testing::TestWithParam<int> {};

TEST_P(AccessCompositeKeyTest, EveryKeyColumnInTheKeysOrder) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pairs", {{"a", "integer"}, {"b", "varchar(5)"}, {"c", "text"}}, {"b", "a"},
                  {{"1", "'x'", "'one'"}, {"2", "'x'", "'two'"}, {"1", "'y'", "NULL"}}});
  ExportHarness harness;
  harness.settings.access = GetParam();
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pairs"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  const std::string schema = Schema(file);
  EXPECT_NE(schema.find("ALTER TABLE `pairs` ADD PRIMARY KEY (`b`, `a`);"), std::string::npos) << schema;
  EXPECT_NE(schema.find("`a`\t\t\tint NOT NULL"), std::string::npos) << schema;
  EXPECT_NE(schema.find("`b`\t\t\tvarchar (5) NOT NULL"), std::string::npos) << schema;
  EXPECT_EQ(ExportRows(file, "pairs"), (Rows{{"1", "x", "one"}, {"2", "x", "two"}, {"1", "y", "NULL"}}));
  // The index finds each row by its two values, "b" first.
  using jet::writer_testing::LongIntegerKey;
  using jet::writer_testing::LookUpByPrimaryKey;
  using jet::writer_testing::TextKey;
  const auto found = LookUpByPrimaryKey(file, "pairs", TextKey("x") + LongIntegerKey(2));
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, (std::vector<std::string>{"2", "x", "two"}));
  const std::vector<std::string> node = jet::writer_testing::NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 3u + 3u);
  EXPECT_EQ(node[4], "row\t1\tx\tone");
  EXPECT_TRUE(harness.ui.message_boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, AccessCompositeKeyTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Access97") : std::string("Access2000");
                         });

// A key the format cannot set (SQLite lets a key hold Null) costs the key
// alone, never rows; a key over unbounded text is set on a text column.
TEST(AccessExportTest, AKeyHoldingNullLosesOnlyTheKeyAndATextKeyIsKept) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"nullkey", {{"a", "TEXT"}, {"b", "INTEGER"}}, {"a"}, {{"NULL", "1"}, {"'x'", "2"}}});
  db.CreateTable({"textkey", {{"a", "TEXT"}, {"b", "INTEGER"}}, {"a"}, {{"'y'", "1"}, {"'x'", "2"}}});
  ExportHarness harness;
  harness.settings.disable_warn = true;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"nullkey", "textkey"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  EXPECT_EQ(ExportRows(file, "nullkey"), (Rows{{"NULL", "1"}, {"x", "2"}}));
  EXPECT_EQ(ExportRows(file, "textkey"), (Rows{{"y", "1"}, {"x", "2"}}));
  const std::string schema = Schema(file);
  EXPECT_EQ(schema.find("ALTER TABLE `nullkey` ADD PRIMARY KEY"), std::string::npos) << schema;
  EXPECT_NE(schema.find("ALTER TABLE `textkey` ADD PRIMARY KEY (`a`);"), std::string::npos) << schema;
  EXPECT_NE(schema.find("`a`\t\t\tvarchar (255) NOT NULL"), std::string::npos) << schema;
  // The reader says the key holds NULL; the table goes without it.
  const std::vector<LogLine>& lines = harness.ui.log_lines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[2].text, kExportStamp + " Table nullkey - primary key: holds NULL values, which no other "
                                          "engine's key can hold; written without a primary key");
  EXPECT_EQ(lines[2].color, kLogRed);
  EXPECT_EQ(lines[4].text, kExportStamp + " Content of table nullkey exported.");
  EXPECT_EQ(lines[6].text, kExportStamp + " Content of table textkey exported.");
}

// The sample database that ./run.sh registers: every table with its key,
// order_lines with its two-column key, and no warning.
TEST(AccessExportTest, TheSampleDatabaseExportsWithEveryKeyAndNoWarning) {
  TestDatabase db = TestDatabase::Sqlite();
  std::ifstream script_file(std::string(QUILL_SOURCE_DIR) + "/resources/sample.sql");
  const std::string script((std::istreambuf_iterator<char>(script_file)), {});
  ASSERT_TRUE(RunSqliteScript(db, script).succeeded);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"customers", "products", "orders", "order_lines"});
  harness.ExportAccess(db.Dsn());

  const std::string schema = Schema(harness.OutFile("NewDatabase.mdb"));
  EXPECT_NE(schema.find("ALTER TABLE `order_lines` ADD PRIMARY KEY (`order_id`, `line_number`);"), std::string::npos)
      << schema;
  EXPECT_EQ(ExportRows(harness.OutFile("NewDatabase.mdb"), "order_lines").size(), 5u);
  EXPECT_TRUE(harness.ui.message_boxes().empty());
  for (const LogLine& line : harness.ui.log_lines()) EXPECT_FALSE(line.color.has_value()) << line.text;
}

TEST(AccessExportTest, AnEmptyTableGetsItsStructureAndKeyWithoutRows) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("empty", 0));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"empty"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  EXPECT_TRUE(ExportRows(file, "empty").empty());
  EXPECT_NE(Schema(file).find("ALTER TABLE `empty` ADD PRIMARY KEY (`n`);"), std::string::npos);
  const std::vector<LogLine>& lines = harness.ui.log_lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].text, kExportStamp + " Structure of table empty created.");
  EXPECT_EQ(lines[3].text, kExportStamp + " Cannot get data on table : empty.");
  EXPECT_EQ(lines[3].color, kLogRed);
}

// A table the file cannot hold (more than 255 columns): message box unless
// warnings are disabled, red lines for the structure and the key, and the
// next table is still exported.
class AccessStructureFailureTest : public ::testing::TestWithParam<bool> {};

TEST_P(AccessStructureFailureTest, LoggedAndSkipped) {
  const bool disable_warn = GetParam();
  TestDatabase db = TestDatabase::Sqlite();
  TableDescription wide{"wide", {{"id", "INTEGER"}}, {"id"}, {{"1"}}};
  for (int k = 1; k <= 255; ++k) {
    wide.columns.push_back({"c" + std::to_string(k), "INTEGER"});
    wide.rows[0].push_back(std::to_string(k));
  }
  db.CreateTable(wide);
  db.CreateTable(NumberTable("t", 1));
  ExportHarness harness;
  harness.settings.disable_warn = disable_warn;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"wide", "t"});
  if (!disable_warn) harness.ui.AnswerMessageBoxes({MessageAnswer::Ok, MessageAnswer::Ok});
  harness.ExportAccess(db.Dsn());

  const std::vector<LogLine>& lines = harness.ui.log_lines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[2].text, kExportStamp + "  Structure of table wide could not be created... skipping");
  EXPECT_EQ(lines[2].color, kLogRed);
  EXPECT_EQ(lines[3].text, kExportStamp + " Primary key : id could not be set on table : wide");
  EXPECT_EQ(lines[3].color, kLogRed);
  EXPECT_EQ(lines[5].text, kExportStamp + " Content of table t exported.");
  if (disable_warn) {
    EXPECT_TRUE(harness.ui.message_boxes().empty());
  } else {
    ASSERT_EQ(harness.ui.message_boxes().size(), 2u);
    EXPECT_EQ(harness.ui.message_boxes()[0].text.rfind("Error with table : wide : ", 0), 0u);
    EXPECT_EQ(harness.ui.message_boxes()[0].icon, MessageIcon::Error);
    EXPECT_EQ(harness.ui.message_boxes()[1].text, "Primary key : id could not be set on table : wide");
    EXPECT_EQ(harness.ui.message_boxes()[1].icon, MessageIcon::Warning);
  }
  EXPECT_EQ(ExportRows(harness.OutFile("NewDatabase.mdb"), "t"), Rows{{"1"}});
}

INSTANTIATE_TEST_SUITE_P(Warnings, AccessStructureFailureTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("Disabled") : std::string("Shown");
                         });

TEST(AccessExportTest, CancelledSaveDialogEndsTheRunSilently) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("t", 1));
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"t"});
  harness.run.AccessExportRun(db.Dsn(), [] { return std::string(); });
  EXPECT_TRUE(harness.ui.log_lines().empty());
  EXPECT_TRUE(harness.OutFiles().empty());
}

TEST(AccessExportTest, SchemasAreDroppedWithoutAQuestionUnlessTheyDiffer) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("sales");
  db.CreateTable(NumberTable("a", 1));
  db.CreateTable(NumberTable("b", 1));
  TableDescription c = NumberTable("c", 1);
  c.schema = "sales";
  db.CreateTable(c);
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a", "public.b"});
  harness.ExportAccess(db.Dsn(), "one.mdb");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.a", "sales.c"});
  harness.ExportAccess(db.Dsn(), "two.mdb");

  EXPECT_TRUE(harness.ui.message_boxes().empty());
  EXPECT_EQ(RunCommand({"mdb-tables", "-1", harness.OutFile("one.mdb")}), "a\nb\n");
  EXPECT_EQ(RunCommand({"mdb-tables", "-1", harness.OutFile("two.mdb")}), "public_a\nsales_c\n");
  EXPECT_NE(Schema(harness.OutFile("two.mdb")).find("ALTER TABLE `sales_c` ADD PRIMARY KEY (`n`);"),
            std::string::npos);
}

// Tables whose Access names are one name letter case aside (as Access
// compares them) each get a table of their own in the file, holding their
// own rows; the log says what each is named.
TEST(AccessExportTest, TablesOfOneAccessNameEachGetATableOfTheirOwn) {
  TestDatabase db = TestDatabase::Sqlite();
  const struct {
    std::string listed;
    std::string access;
  } cases[] = {{"a_b", "a_b"},       {"a.b", "a_b_2"},   {"a!b", "a_b_3"},
               {"Ärger", "Ärger"},   {"ärger", "ärger_2"}, {"ΣΟΦΊΑ", "ΣΟΦΊΑ"}, {"σοφία", "σοφία_2"}};
  std::vector<std::string> listed;
  int row = 0;
  for (const auto& c : cases) {
    db.CreateTable({c.listed, {{"n", "INTEGER"}}, {"n"}, {{std::to_string(++row)}}});
    listed.push_back(c.listed);
  }
  ExportHarness harness;
  harness.ui.AnswerTableSelection(listed);
  harness.ExportAccess(db.Dsn(), "names.mdb");
  const std::string file = harness.OutFile("names.mdb");
  std::string expected_tables;
  for (const auto& c : cases) expected_tables += c.access + "\n";
  EXPECT_EQ(RunCommand({"mdb-tables", "-1", file}), expected_tables) << ::testing::PrintToString(harness.ui.LogTexts());
  const std::vector<std::string> log = harness.ui.LogTexts();
  row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listed);
    EXPECT_EQ(ExportRows(file, c.access), (Rows{{std::to_string(++row)}}));
    const bool renamed = c.access != c.listed;
    const std::string said = "Table " + c.listed + " is named " + c.access + " in the Access file.";
    EXPECT_EQ(std::any_of(log.begin(), log.end(), [&](const std::string& line) { return line.ends_with(said); }),
              renamed)
        << said;
  }
}

struct BlankCase {
  bool underscore;
  std::string access_name;
  friend void PrintTo(const BlankCase& c, std::ostream* out) { *out << c.access_name; }
};

class AccessBlankNameTest : public ::testing::TestWithParam<BlankCase> {};

TEST_P(AccessBlankNameTest, BlankKeptOrUnderscored) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(NumberTable("Order Details", 1));
  ExportHarness harness;
  harness.settings.underscore = GetParam().underscore;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"Order Details"});
  harness.ExportAccess(db.Dsn());
  EXPECT_EQ(ExportRows(harness.OutFile("NewDatabase.mdb"), GetParam().access_name), Rows{{"1"}});
}

INSTANTIATE_TEST_SUITE_P(Cases, AccessBlankNameTest,
                         ::testing::Values(BlankCase{false, "Order Details"}, BlankCase{true, "Order_Details"}));

// Decimals keep their digits (a double column, not a single) and unsigned
// small integers their full range (not a byte column).
TEST(AccessExportTest, DecimalsAndUnsignedSmallIntegersKeepTheirValues) {
  TestDatabase pg = TestDatabase::Postgres();
  pg.CreateTable({"amounts", {{"id", "integer"}, {"amount", "numeric(12,2)"}}, {"id"}, {{"1", "1234567.89"}}});
  TestDatabase maria = TestDatabase::MariaDb();
  maria.CreateTable({"words", {{"id", "INTEGER"}, {"w", "SMALLINT UNSIGNED"}}, {"id"}, {{"1", "65535"}, {"2", "300"}}});
  ExportHarness harness;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.amounts"});
  harness.ExportAccess(pg.Dsn(), "amounts.mdb");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"words"});
  harness.ExportAccess(maria.Dsn(), "words.mdb");

  EXPECT_EQ(ExportRows(harness.OutFile("amounts.mdb"), "amounts"), (Rows{{"1", "1234567.89"}}));
  EXPECT_EQ(ExportRows(harness.OutFile("words.mdb"), "words"), (Rows{{"1", "65535"}, {"2", "300"}}));
  EXPECT_EQ(harness.ui.LogTexts().at(3), kExportStamp + " Content of table public.amounts exported.");
}

// Text wider than a text column becomes a memo, and 64-bit integers keep
// every digit, in both file formats.
class AccessWideValuesTest : public ::testing::TestWithParam<int> {};

TEST_P(AccessWideValuesTest, WideTextAndLargeIntegersKeepTheirValues) {
  const std::string wide(300, 'w');
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"wide", {{"id", "INTEGER"}, {"s", "VARCHAR(300)"}, {"big", "BIGINT"}}, {"id"},
                  {{"1", "'" + wide + "'", "9223372036854775807"},
                   {"2", "'short'", "-9223372036854775808"},
                   {"3", "NULL", "NULL"}}});
  ExportHarness harness;
  harness.settings.access = GetParam();
  harness.ui.AnswerTableSelection(std::vector<std::string>{"wide"});
  harness.ExportAccess(db.Dsn());

  const std::string file = harness.OutFile("NewDatabase.mdb");
  EXPECT_EQ(ExportRows(file, "wide"), (Rows{{"1", wide, "9223372036854775807"},
                                           {"2", "short", "-9223372036854775808"},
                                           {"3", "NULL", "NULL"}}));
  const std::vector<std::string> node = jet::writer_testing::NodeReaderLines(file);
  ASSERT_EQ(node.size(), 1u + 3u + 3u);
  EXPECT_EQ(node[2].rfind("column\ts\tmemo\t", 0), 0u) << node[2];
  EXPECT_EQ(node[4], "row\t1\t" + wide + "\t9223372036854775807");
  EXPECT_EQ(harness.ui.LogTexts().at(3), kExportStamp + " Content of table wide exported.");
}

INSTANTIATE_TEST_SUITE_P(Formats, AccessWideValuesTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Access97") : std::string("Access2000");
                         });

// BLOB columns by the file options: Null when no files are extracted, the
// file's path, or the file's bytes from the signature on.
struct BlobCase {
  std::string name;
  bool extract_files;
  bool save_as_raw;
  std::string first_row;  // what mdb-export shows of the JPEG row; "{path}" is the BLOB file
  friend void PrintTo(const BlobCase& c, std::ostream* out) { *out << c.name; }
};

class AccessBlobTest : public ::testing::TestWithParam<BlobCase> {};

TEST_P(AccessBlobTest, ValueByOptions) {
  const BlobCase& c = GetParam();
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\x0000ffd8ffe000104a464946'"}, {"2", "NULL"}, {"3", "'\\x414243'"}}});
  ExportHarness harness;
  const std::string blob_root = harness.OutFile("blobs");
  harness.settings.extract_files = c.extract_files;
  harness.settings.save_as_raw = c.save_as_raw;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.settings.blob_path = blob_root;
  harness.ui.SetSelectedNodeCaption("pix source");
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pix"});
  harness.ExportAccess(db.Dsn());

  const std::string path = blob_root + "/pix source/pix/photo1/1.jpg";
  std::string first = c.first_row;
  if (first == "{path}") first = path;
  EXPECT_EQ(ExportRows(harness.OutFile("NewDatabase.mdb"), "pix"),
            (Rows{{"1", first}, {"2", "NULL"}, {"3", "NULL"}}));
  EXPECT_EQ(std::filesystem::exists(path), c.extract_files && !c.save_as_raw);
  if (c.save_as_raw) {
    EXPECT_EQ(std::filesystem::file_size(harness.program_folder / "tmp" / "file.tmp"), 10u);
  }
}

INSTANTIATE_TEST_SUITE_P(Options, AccessBlobTest,
                         ::testing::Values(BlobCase{"NoFiles", false, false, "NULL"},
                                           BlobCase{"Paths", true, false, "{path}"},
                                           BlobCase{"Raw", true, true, "FFD8FFE000104A464946"}),
                         [](const ::testing::TestParamInfo<BlobCase>& info) { return info.param.name; });

TEST(AccessExportTest, RawBlobsWithoutTheTemporaryFolderFailTheTableCopy) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"}, {{"1", "'\\xffd8ffe000104a464946'"}}});
  ExportHarness harness;
  std::filesystem::remove_all(harness.program_folder / "tmp");
  harness.settings.extract_files = true;
  harness.settings.save_as_raw = true;
  harness.settings.find_jpg = true;
  harness.settings.files_method = 0;
  harness.ui.AnswerTableSelection(std::vector<std::string>{"public.pix"});
  harness.ExportAccess(db.Dsn());
  EXPECT_EQ(harness.ui.LogTexts().at(3),
            kExportStamp + " Problems during data transfer of table public.pix, table skipped.");
}

TEST(AccessExportTest, ColumnTypesByKind) {
  Settings settings;
  const auto type_of = [&](FieldKind kind, int size) {
    const AccessColumnType mapped = AccessColumnTypeFor(Field("f", "", kind, size, 0), settings);
    return std::vector<int>{mapped.type, mapped.defined_size, mapped.nullable ? 1 : 0};
  };
  EXPECT_EQ(type_of(FieldKind::ftString, 40), (std::vector<int>{130, 40, 1}));
  EXPECT_EQ(type_of(FieldKind::ftString, 255), (std::vector<int>{130, 255, 1}));
  EXPECT_EQ(type_of(FieldKind::ftWideString, 256), (std::vector<int>{203, 0, 1}));
  EXPECT_EQ(type_of(FieldKind::ftAutoInc, 0), (std::vector<int>{3, 0, 0}));
  EXPECT_EQ(type_of(FieldKind::ftCurrency, 0), (std::vector<int>{6, 0, 0}));
  EXPECT_EQ(type_of(FieldKind::ftLargeint, 0), (std::vector<int>{20, 0, 1}));
  EXPECT_EQ(type_of(FieldKind::ftGuid, 0), (std::vector<int>{72, 0, 1}));
  // Binary values keep their bytes in an OLE column.
  EXPECT_EQ(type_of(FieldKind::ftVarBytes, 16), (std::vector<int>{205, 0, 1}));
  EXPECT_EQ(type_of(FieldKind::ftBytes, 4), (std::vector<int>{205, 0, 1}));
  EXPECT_EQ(type_of(FieldKind::ftUnknown, 0), (std::vector<int>{130, 50, 1}));
  EXPECT_EQ(type_of(FieldKind::ftBlob, 0), (std::vector<int>{205, 0, 1}));
  settings.extract_files = true;
  EXPECT_EQ(type_of(FieldKind::ftBlob, 0), (std::vector<int>{130, 255, 1}));
  settings.save_as_raw = true;
  EXPECT_EQ(type_of(FieldKind::ftBlob, 0), (std::vector<int>{205, 0, 1}));
  EXPECT_EQ(AccessConnectionString("/x/a.mdb", settings),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/a.mdb;Jet OLEDB:Engine Type=");
}

}  // namespace
}  // namespace quill::testing
