// Golden MS SQL scripts of small tables read through the real SQLite and
// PostgreSQL drivers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "generator/blob_files.h"
#include "generator_harness.h"
#include "platform/formatting/format_settings.h"

namespace quill::testing {
namespace {

const std::string kMsSqlHeader =
    "/* Created with Quillmarsh v.1.6.4.28 */\r\n"
    "/* 2026-03-04 05:06:07 */\r\n"
    "/* Type of SQL : MS SQL */\r\n";

// The script items of a one-table run between the header and the (empty)
// foreign-key tail.
std::vector<std::string> TableItems(const GeneratorHarness& harness) {
  const std::vector<std::string>& script = harness.Script();
  EXPECT_GE(script.size(), 2u);
  EXPECT_EQ(script.front(), kMsSqlHeader);
  const bool has_tail = harness.settings.content != ContentMode::DataOnly;
  return {script.begin() + 1, script.end() - (has_tail ? 1 : 0)};
}

struct GoldenCase {
  std::string name;
  TableDescription table;
  std::function<void(Settings&)> options;
  std::vector<std::string> expected;  // the table's items
};

void RunGoldenCases(TestDatabase& db, const std::vector<GoldenCase>& cases) {
  std::set<std::string> created;
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (created.insert(c.table.name).second) db.CreateTable(c.table);
    GeneratorHarness harness;
    if (c.options) c.options(harness.settings);
    harness.generator.GenerateScript(db.Dsn(), c.table.name);
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(TableItems(harness), c.expected);
  }
}

const std::string kTen(10, ' ');

TEST(MsSqlWriterTest, SqliteGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::string long_text(8001, 'x');
  const std::vector<GoldenCase> cases = {
      {"everyday values: quotes doubled, blanks inside values kept, NULL boolean stays NULL",
       {"people",
        {{"id", "INTEGER"}, {"name", "VARCHAR(20)"}, {"note", "TEXT"}, {"ok", "BOOLEAN"}, {"ratio", "REAL"}},
        {"id"},
        {{"1", "'O''Hara'", "'ten" + kTen + "x'", "1", "0.1"},
         {"2", "NULL", "NULL", "NULL", "NULL"},
         {"3", "'12,5'", "''", "0", "0.25"}}},
       nullptr,
       {"CREATE TABLE [people] (\r\n[id] [int] PRIMARY KEY,\r\n[name] [varchar] (20),\r\n[note] [text],\r\n"
        "[ok] [bit],\r\n[ratio] [float]\r\n)",
        "INSERT INTO [people] ([id],[name],[note],[ok],[ratio])\r\n   VALUES ('1','O''Hara','ten" + kTen + "x','1','0.1')",
        "INSERT INTO [people] ([id],[name],[note],[ok],[ratio])\r\n   VALUES ('2',NULL,NULL,NULL,NULL)",
        "INSERT INTO [people] ([id],[name],[note],[ok],[ratio])\r\n   VALUES ('3','12,5',NULL,'0','0.25')"}},

      {"a composite key becomes a table-level PRIMARY KEY",
       {"pairs", {{"a", "INTEGER"}, {"b", "VARCHAR(5)"}, {"c", "INTEGER"}}, {"a", "b"}, {}},
       nullptr,
       {"CREATE TABLE [pairs] (\r\n[a] [int],\r\n[b] [varchar] (5),\r\n[c] [int],\r\nPRIMARY KEY ([a],[b])\r\n)"}},

      {"names with blanks and brackets",
       {"odd names",
        {{"First Name", "VARCHAR(5)"}, {"x]y", "INTEGER"}, {"plain", "INTEGER"}, {"1st", "INTEGER"}, {"it's", "INTEGER"}},
        {},
        {{"'Al'", "1", "2", "3", "4"}}},
       nullptr,
       {"CREATE TABLE [odd names] (\r\n[First Name] [varchar] (5),\r\n[x]]y] [int],\r\n[plain] [int],\r\n"
        "[1st] [int],\r\n[it's] [int]\r\n)",
        "INSERT INTO [odd names] ([First Name],[x]]y],[plain],[1st],[it's])\r\n   VALUES ('Al','1','2','3','4')"}},

      {"Underscore: blanks become _ in the table and column names",
       {"under score", {{"First Name", "VARCHAR(5)"}}, {}, {{"'Al'"}}},
       [](Settings& s) { s.underscore = true; },
       {"CREATE TABLE [under_score] (\r\n[First_Name] [varchar] (5)\r\n)",
        "INSERT INTO [under_score] ([First_Name])\r\n   VALUES ('Al')"}},

      {"the 8000 limits of types and values",
       {"sizes", {{"s8000", "VARCHAR(8000)"}, {"s8001", "VARCHAR(8001)"}, {"s10", "VARCHAR(10)"}}, {},
        {{"'a'", "'" + long_text + "'", "'b'"}}},
       nullptr,
       {"CREATE TABLE [sizes] (\r\n[s8000] [varchar] (8000),\r\n[s8001] [varchar] (8000),\r\n[s10] [varchar] (10)\r\n)",
        "INSERT INTO [sizes] ([s8000],[s8001],[s10])\r\n   VALUES ('a','" + long_text.substr(0, 8000) + "','b')"}},

      {"numbers unquoted: integers, floats and booleans bare, text quoted, NULL stays NULL",
       {"numbers", {{"i", "INTEGER"}, {"s", "VARCHAR(5)"}, {"n", "INTEGER"}, {"f", "REAL"}, {"b", "BOOLEAN"}}, {},
        {{"12", "'ab'", "NULL", "2.5", "NULL"}, {"-3", "'12'", "7", "NULL", "1"}}},
       [](Settings& s) { s.quoted = true; s.content = ContentMode::DataOnly; },
       {"INSERT INTO [numbers] ([i],[s],[n],[f],[b])\r\n   VALUES (12,'ab',NULL,2.5,NULL)",
        "INSERT INTO [numbers] ([i],[s],[n],[f],[b])\r\n   VALUES (-3,'12',7,NULL,1)"}},

      {"NullQuoted: empty values are ''",
       {"nulls", {{"i", "INTEGER"}, {"s", "VARCHAR(5)"}, {"b", "BOOLEAN"}}, {}, {{"NULL", "NULL", "NULL"}}},
       [](Settings& s) { s.null_quoted = true; s.content = ContentMode::DataOnly; },
       {"INSERT INTO [nulls] ([i],[s],[b])\r\n   VALUES ('','','')"}},

      {"GO after every second row, DROP with Go",
       {"five", {{"i", "INTEGER"}}, {}, {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}},
       [](Settings& s) { s.go = true; s.go_lines = "2"; s.drop = true; },
       {"DROP TABLE [five]\r\nGo\r\nCREATE TABLE [five] (\r\n[i] [int]\r\n)",
        "INSERT INTO [five] ([i])\r\n   VALUES ('1')",
        "INSERT INTO [five] ([i])\r\n   VALUES ('2')\r\nGO",
        "INSERT INTO [five] ([i])\r\n   VALUES ('3')",
        "INSERT INTO [five] ([i])\r\n   VALUES ('4')\r\nGO",
        "INSERT INTO [five] ([i])\r\n   VALUES ('5')"}},

      {"a float mask decides the float text",
       {"masked", {{"f", "REAL"}}, {}, {{"3.14159"}, {"NULL"}}},
       [](Settings& s) { s.float_format = "0.00"; s.content = ContentMode::DataOnly; },
       {"INSERT INTO [masked] ([f])\r\n   VALUES ('3.14')", "INSERT INTO [masked] ([f])\r\n   VALUES (NULL)"}},
  };
  RunGoldenCases(db, cases);
}

TEST(MsSqlWriterTest, DateOptionsChooseTheLineAndTheColumnTypes) {
  TestDatabase db = TestDatabase::Sqlite();
  const TableDescription table{"dates", {{"d", "DATE"}, {"dt", "DATETIME"}, {"t", "TIME"}}, {}, {}};
  const std::vector<GoldenCase> cases = {
      {"dates as they are: DATETIME while nothing is chosen", table, [](Settings& s) { s.leave = true; },
       {"CREATE TABLE [dates] (\r\n[d] [DATETIME],\r\n[dt] [DATETIME],\r\n[t] [varchar] (15)\r\n)"}},
      {"date formatting: SET DATEFORMAT mdy while nothing is chosen", table,
       [](Settings& s) { s.formatting = true; },
       {"SET DATEFORMAT mdy\r\nCREATE TABLE [dates] (\r\n[d] [DATETIME],\r\n[dt] [DATETIME],\r\n[t] [varchar] (15)\r\n)"}},
      {"date formatting with dmy and TIMESTAMP chosen", table,
       [](Settings& s) { s.formatting = true; s.ms_format = 2; s.ms_type = 0; },
       {"SET DATEFORMAT dmy\r\nCREATE TABLE [dates] (\r\n[d] [TIMESTAMP],\r\n[dt] [TIMESTAMP],\r\n[t] [varchar] (15)\r\n)"}},
      {"converted dates are text columns of the chosen size", table,
       [](Settings& s) { s.convert = true; s.size = "30"; },
       {"CREATE TABLE [dates] (\r\n[d] [varchar] (30),\r\n[dt] [varchar] (30),\r\n[t] [varchar] (15)\r\n)"}},
  };
  RunGoldenCases(db, cases);
}

TEST(MsSqlWriterTest, DateValuesAreTheirFieldText) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<GoldenCase> cases = {
      {"date, date-time at midnight and with a time, time",
       {"when", {{"d", "DATE"}, {"dt", "DATETIME"}, {"dt2", "DATETIME"}, {"t", "TIME"}}, {},
        {{"'2004-12-31'", "'2004-12-31 00:00:00'", "'2004-12-31 13:14:15'", "'13:14:15'"}}},
       [](Settings& s) { s.content = ContentMode::DataOnly; },
       {"INSERT INTO [when] ([d],[dt],[dt2],[t])\r\n   VALUES ('2004-12-31','2004-12-31','2004-12-31 13:14:15','13:14:15')"}},
  };
  RunGoldenCases(db, cases);
}

TEST(MsSqlWriterTest, BadOrZeroGoCountEndsTheTableAfterItsCreateStatement) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"t", {{"i", "INTEGER"}}, {}, {{"1"}, {"2"}}});
  struct Case {
    std::string go_lines;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{{"x", "'x' is not a valid integer value"}, {"0", "Division by zero"}}) {
    SCOPED_TRACE(c.go_lines);
    GeneratorHarness harness;
    harness.settings.go = true;
    harness.settings.go_lines = c.go_lines;
    harness.generator.GenerateScript(db.Dsn(), "t");
    ASSERT_EQ(harness.ui.placed_messages().size(), 1u);
    EXPECT_EQ(harness.ui.placed_messages()[0].text, "Error with table : t : " + c.error);
    EXPECT_EQ(harness.ui.placed_messages()[0].dx, 200);
    EXPECT_EQ(harness.Script(),
              (std::vector<std::string>{kMsSqlHeader, "CREATE TABLE [t] (\r\n[i] [int]\r\n)", ""}));
    EXPECT_EQ(harness.ui.log_lines().at(1).text, std::string(kStamp) + " Error with table : t : " + c.error);
    EXPECT_EQ(harness.ui.log_lines().at(1).color, kLogRed);
  }
}

TEST(MsSqlWriterTest, PostgresWideTextIsUnicodeAndNumericsKeepTheirPoint) {
  TestDatabase db = TestDatabase::Postgres({.name = "", .bools_as_char = false, .login_in_dsn = true});
  const std::vector<GoldenCase> cases = {
      {"nvarchar, text, numeric, bit, bytea without files, uuid",
       {"pgt",
        {{"id", "integer"}, {"name", "varchar(10)"}, {"memo", "text"}, {"amount", "numeric(10,2)"},
         {"flag", "boolean"}, {"photo", "bytea"}, {"uid", "uuid"}, {"ratio", "float8"}},
        {"id"},
        {{"1", "'Grüße'", "'it''s'", "12.50", "true", "'\\x0102'", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'",
          "1.0 / 3"},
         {"2", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "0.1::float8 + 0.2::float8"}}},
       nullptr,
       {"CREATE TABLE [pgt] (\r\n[id] [int] PRIMARY KEY,\r\n[name] [nvarchar] (10),\r\n[memo] [text],\r\n"
        "[amount] [numeric] (10,2),\r\n[flag] [bit],\r\n[photo] [varbinary] (max),\r\n[uid] [varchar] (255),\r\n"
        "[ratio] [float]\r\n)",
        "INSERT INTO [pgt] ([id],[name],[memo],[amount],[flag],[photo],[uid],[ratio])\r\n"
        "   VALUES ('1',N'Grüße','it''s','12.50','1',NULL,'{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}',"
        "'0.3333333333333333')",
        "INSERT INTO [pgt] ([id],[name],[memo],[amount],[flag],[photo],[uid],[ratio])\r\n"
        "   VALUES ('2',NULL,NULL,NULL,NULL,NULL,NULL,'0.30000000000000004')"}},
  };
  RunGoldenCases(db, cases);
}

TEST(MsSqlWriterTest, ALocalesDecimalCommaBecomesAPointOutsideText) {
  TestDatabase db = TestDatabase::Postgres();
  FormatSettings& formats = GlobalFormatSettings();
  const FormatSettings saved = formats;
  formats.decimal_separator = ",";
  const TableDescription table{
      "money", {{"amount", "numeric(10,2)"}, {"ratio", "float8"}, {"label", "varchar(5)"}}, {}, {{"12.50", "2.5", "'12,5'"}}};
  const std::vector<GoldenCase> cases = {
      {"quoted", table, [](Settings& s) { s.content = ContentMode::DataOnly; },
       {"INSERT INTO [money] ([amount],[ratio],[label])\r\n   VALUES ('12.50','2.5',N'12,5')"}},
      {"numbers unquoted", table, [](Settings& s) { s.content = ContentMode::DataOnly; s.quoted = true; },
       {"INSERT INTO [money] ([amount],[ratio],[label])\r\n   VALUES (12.50,2.5,N'12,5')"}},
  };
  RunGoldenCases(db, cases);
  formats = saved;
}

TEST(MsSqlWriterTest, PostgresSourceSchemaIsReplacedByTheDestinationSchema) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("src");
  // The same table name in two schemas with different keys: only the listed
  // schema's key may be read.
  db.CreateTable({"orders", {{"id", "integer"}, {"code", "integer"}}, {"code"}, {}, ""});
  db.CreateTable({"orders", {{"id", "integer"}, {"code", "integer"}}, {"id"}, {{"1", "2"}}, "src"});
  GeneratorHarness harness;
  harness.settings.ms_schema = "sales";
  harness.generator.GenerateScript(db.Dsn(), "src.orders");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  EXPECT_EQ(TableItems(harness),
            (std::vector<std::string>{"CREATE TABLE [sales].[orders] (\r\n[id] [int] PRIMARY KEY,\r\n[code] [int]\r\n)",
                                      "INSERT INTO [sales].[orders] ([id],[code])\r\n   VALUES ('1','2')"}));
  EXPECT_EQ(harness.generator.run().output_table_name, "sales].[orders");
  EXPECT_EQ(harness.ui.log_lines().at(0).text,
            "Type of SQL : MS SQL - Source : " + db.Dsn() + " - Table : src.orders");
  EXPECT_EQ(harness.ui.log_lines().at(1).text, std::string(kStamp) + " Table : src.orders - OK");
}

TEST(MsSqlWriterTest, BlobValues) {
  TestDatabase db = TestDatabase::Postgres();
  // A JPEG signature with its JFIF marker after two bytes of something else.
  db.CreateTable({"pix", {{"id", "integer"}, {"photo", "bytea"}}, {"id"},
                  {{"1", "'\\x0000ffd8ffe000104a464946'"}, {"2", "NULL"}, {"3", "'\\x414243'"}}});
  const std::filesystem::path blob_root = GeneratorHarness::MakeProgramFolder();

  struct Case {
    std::string name;
    std::function<void(Settings&)> options;
    std::vector<std::string> rows;
  };
  const std::string folder = blob_root.string() + "/pix/public.pix/photo1";
  const std::vector<Case> cases = {
      {"files off: NULL", [](Settings&) {},
       {"INSERT INTO [pix] ([id],[photo])\r\n   VALUES ('1',NULL)", "INSERT INTO [pix] ([id],[photo])\r\n   VALUES ('2',NULL)",
        "INSERT INTO [pix] ([id],[photo])\r\n   VALUES ('3',NULL)"}},
      {"raw files: SELECT rows reading each file, unknown types NULL",
       [&](Settings& s) {
         s.extract_files = true; s.save_as_raw = true; s.quoted = true; s.find_jpg = true; s.files_method = 0;
         s.blob_path = blob_root.string();
       },
       {"INSERT INTO [pix] ([id],[photo])\r\n   SELECT 1 As [id], * FROM OPENROWSET(BULK N'" + folder +
            "/1.jpg', SINGLE_BLOB) As [photo]",
        "INSERT INTO [pix] ([id],[photo])\r\n   SELECT 2 As [id],NULL As [photo]",
        "INSERT INTO [pix] ([id],[photo])\r\n   SELECT 3 As [id],NULL As [photo]"}},
      {"file paths: a quoted path, even with numbers unquoted",
       [&](Settings& s) {
         s.extract_files = true; s.quoted = true; s.find_jpg = true; s.files_method = 0;
         s.blob_path = blob_root.string();
       },
       {"INSERT INTO [pix] ([id],[photo])\r\n   VALUES (1,'" + folder + "/1.jpg')",
        "INSERT INTO [pix] ([id],[photo])\r\n   VALUES (2,NULL)", "INSERT INTO [pix] ([id],[photo])\r\n   VALUES (3,NULL)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GeneratorHarness harness;
    harness.settings.content = ContentMode::DataOnly;
    c.options(harness.settings);
    harness.ui.SetSelectedNodeCaption("pix");
    harness.generator.GenerateScript(db.Dsn(), "public.pix");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(TableItems(harness), c.rows);
  }
  std::ifstream file(folder + "/1.jpg", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, std::string("\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46", 10));
  std::filesystem::remove_all(blob_root);
}

}  // namespace
}  // namespace quill::testing
