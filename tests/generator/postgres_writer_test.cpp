// Golden PostgreSQL scripts of small tables read through the real SQLite and
// PostgreSQL drivers.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dialect_golden.h"
#include "generator/wrap_text.h"
#include "platform/formatting/format_settings.h"

namespace quill::testing {
namespace {

TEST(PostgresWriterTest, SqliteGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<DialectGoldenCase> cases = {
      {"datestyle line first; names lower case, the same in CREATE and in the column list; "
       "a NULL boolean is NULL",
       {"People", {{"ID", "INT"}, {"First Name", "VARCHAR(10)"}, {"ok", "BOOLEAN"}}, {"ID"},
        {{"1", "'Al'", "NULL"}, {"2", "NULL", "0"}}},
       [](Settings& s) { s.drop = true; s.formatting = true; },
       {"SET datestyle TO ISO, YMD;\r\nDROP TABLE IF EXISTS \"people\";\r\nCREATE TABLE \"people\" (\r\n"
        "\"id\" integer PRIMARY KEY,\r\n\"first name\" character(10),\r\n\"ok\" boolean\r\n);",
        "INSERT INTO \"people\" (\"id\",\"first name\",\"ok\")\r\n   VALUES ('1','Al',NULL);",
        "INSERT INTO \"people\" (\"id\",\"first name\",\"ok\")\r\n   VALUES ('2',NULL,'0');"}},

      {"the chosen datestyle",
       {"People", {}, {}, {}},
       [](Settings& s) { s.formatting = true; s.po_format = 5; s.post_form_type = 0; s.content = ContentMode::TableOnly; },
       {"SET datestyle TO SQL, DMY;\r\nCREATE TABLE \"people\" (\r\n\"id\" integer PRIMARY KEY,\r\n"
        "\"first name\" character(10),\r\n\"ok\" boolean\r\n);"}},
      {"Data Only: no SET line, rows only",
       {"People", {}, {}, {}},
       [](Settings& s) { s.formatting = true; DataOnly(s); },
       {"INSERT INTO \"people\" (\"id\",\"first name\",\"ok\")\r\n   VALUES ('1','Al',NULL);",
        "INSERT INTO \"people\" (\"id\",\"first name\",\"ok\")\r\n   VALUES ('2',NULL,'0');"}},

      {"a composite key is a table-level key; strings of any size are character columns",
       {"pairs", {{"A", "INT"}, {"B", "VARCHAR(10000)"}}, {"A", "B"}, {}},
       nullptr,
       {"CREATE TABLE \"pairs\" (\r\n\"a\" integer,\r\n\"b\" character(10000),\r\nPRIMARY KEY (\"a\",\"b\")\r\n);"}},

      {"format strings: to_date and to_timestamp, NULL dates stay NULL, times stay text",
       {"dates", {{"d", "DATE"}, {"dt", "DATETIME"}, {"t", "TIME"}}, {},
        {{"'2004-12-31'", "'2004-12-31 10:11:12'", "'10:11:12'"}, {"NULL", "NULL", "NULL"}}},
       [](Settings& s) {
         s.formatting = true;
         s.post_form_type = 1;
         s.po_date_format = "YYYY-MM-DD";
         s.po_time_format = "YYYY-MM-DD HH24:MI:SS";
         DataOnly(s);
       },
       {"INSERT INTO \"dates\" (\"d\",\"dt\",\"t\")\r\n   VALUES (to_date('2004-12-31','YYYY-MM-DD'),\r\n"
        "to_timestamp('2004-12-31 10:11:12','YYYY-MM-DD HH24:MI:SS'),'10:11:12');",
        "INSERT INTO \"dates\" (\"d\",\"dt\",\"t\")\r\n   VALUES (NULL,NULL,NULL);"}},

      {"converted dates are character columns; times stay time",
       {"dates", {}, {}, {}},
       [](Settings& s) { s.convert = true; s.size = "25"; s.content = ContentMode::TableOnly; },
       {"CREATE TABLE \"dates\" (\r\n\"d\" character(25),\r\n\"dt\" character(25),\r\n\"t\" time\r\n);"}},

      {"NullQuoted; rows wrap at 80 outside quotes",
       {"wide", {{"a", "INT"}, {"b", "VARCHAR(120)"}, {"c", "INT"}, {"d", "INT"}}, {},
        {{"1", "'one, two, three, four, five, six, seven, eight, nine, ten, eleven, twelve'", "3", "NULL"}}},
       [](Settings& s) { s.null_quoted = true; DataOnly(s); },
       {"INSERT INTO \"wide\" (\"a\",\"b\",\"c\",\"d\")\r\n   VALUES ('1',\r\n"
        "'one, two, three, four, five, six, seven, eight, nine, ten, eleven, twelve','3',\r\n'');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::PostgreSql, cases);
}

TEST(PostgresWriterTest, DecimalCommaOfAFloatMaskBecomesAPoint) {
  TestDatabase db = TestDatabase::Sqlite();
  FormatSettings& format = GlobalFormatSettings();
  const FormatSettings saved = format;
  format.decimal_separator = ",";
  const std::vector<DialectGoldenCase> cases = {
      {"float and text",
       {"money", {{"f", "REAL"}, {"s", "VARCHAR(9)"}}, {}, {{"2.25", "'12,5'"}}},
       [](Settings& s) { s.float_format = "0.0"; DataOnly(s); },
       {"INSERT INTO \"money\" (\"f\",\"s\")\r\n   VALUES ('2.3','12,5');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::PostgreSql, cases);
  format = saved;
}

TEST(PostgresWriterTest, DestinationSchemaInLowerCase) {
  TestDatabase db = TestDatabase::Postgres();
  db.Execute("CREATE SCHEMA src");
  db.CreateTable({"Orders", {{"Id", "integer"}, {"Code", "integer"}}, {"Id"}, {{"1", "2"}}, "src"});
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::PostgreSql;
  harness.settings.ms_schema = "Sales";
  harness.generator.GenerateScript(db.Dsn(), "src.Orders");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  EXPECT_EQ(DialectTableItems(harness),
            (std::vector<std::string>{
                "CREATE TABLE \"sales\".\"orders\" (\r\n\"id\" integer PRIMARY KEY,\r\n\"code\" integer\r\n);",
                "INSERT INTO \"sales\".\"orders\" (\"id\",\"code\")\r\n   VALUES ('1','2');"}));
}

TEST(PostgresWriterTest, BlobValues) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::filesystem::path root = GeneratorHarness::MakeProgramFolder();
  const std::string folder = root.string() + "/src/pix/photo1";
  // A header then a PNG; nothing known; "BM" before a JPEG; a JPEG without its
  // JFIF marker; a BLOB shorter than two bytes.
  const TableDescription table{"pix", {{"id", "INT"}, {"photo", "BLOB"}}, {},
                               {{"1", "X'4F4C4500894E4789504E470D0A1A0A'"},
                                {"2", "X'414243'"},
                                {"3", "X'424DFFD8FFE000104A4649460001'"},
                                {"4", "X'FFD8FFE1001045786966000100'"},
                                {"5", "X'89'"}}};
  auto files = [&](Settings& s) {
    s.extract_files = true;
    s.files_method = 0;
    s.find_png = true;
    s.find_jpg = true;
    s.find_bmp = true;
    s.blob_path = root.string();
  };
  const std::string head = "INSERT INTO \"pix\" (\"id\",\"photo\")\r\n   VALUES (";
  const std::vector<std::string> unknown_rows = {head + "'4',NULL);", head + "'5',NULL);"};
  const std::vector<DialectGoldenCase> cases = {
      {"raw files: an oid column filled by lo_import", table, [&](Settings& s) { files(s); s.save_as_raw = true; },
       {"CREATE TABLE \"pix\" (\r\n\"id\" integer,\r\n\"photo\" oid\r\n);",
        WrapText(head + "'1',lo_import('" + folder + "/1.png'));", 80), head + "'2',NULL);",
        WrapText(head + "'3',lo_import('" + folder + "/3.bmp'));", 80), unknown_rows[0], unknown_rows[1]}},
      {"file paths: a character column holding the quoted path", table, files,
       {"CREATE TABLE \"pix\" (\r\n\"id\" integer,\r\n\"photo\" character(255)\r\n);",
        WrapText(head + "'1','" + folder + "/1.png');", 80), head + "'2',NULL);",
        WrapText(head + "'3','" + folder + "/3.bmp');", 80), unknown_rows[0], unknown_rows[1]}},
      {"BLOB text: a text column", table, [](Settings& s) { s.text_from_blob = true; s.content = ContentMode::TableOnly; },
       {"CREATE TABLE \"pix\" (\r\n\"id\" integer,\r\n\"photo\" text\r\n);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::PostgreSql, cases);
  EXPECT_TRUE(std::filesystem::exists(folder + "/1.png"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/3.bmp"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/4.jpg"));
  std::filesystem::remove_all(root);
}

// Bytes at the end of a BLOB that begin a signature (42 4D of BMP) are
// ordinary data: that value has no file type, the table is written whole.
TEST(PostgresWriterTest, BlobEndingInPartOfASignatureIsAnOrdinaryBlob) {
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable({"pix", {{"id", "INT"}, {"photo", "BLOB"}}, {},
                  {{"1", "X'89504E47'"}, {"2", "X'4142424D'"}, {"3", "X'89504E47'"}}});
  const std::filesystem::path root = GeneratorHarness::MakeProgramFolder();
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::PostgreSql;
  harness.settings.extract_files = true;
  harness.settings.files_method = 0;
  harness.settings.find_bmp = true;
  harness.settings.find_png = true;
  harness.settings.save_as_raw = true;
  harness.settings.blob_path = root.string();
  harness.generator.GenerateScript(db.Dsn(), "pix");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::vector<std::string> items = DialectTableItems(harness);
  ASSERT_EQ(items.size(), 4u);  // the CREATE statement and every row
  EXPECT_NE(items[1].find("'1',lo_import("), std::string::npos);
  EXPECT_NE(items[2].find("'2',NULL"), std::string::npos) << items[2];
  EXPECT_NE(items[3].find("'3',lo_import("), std::string::npos);
  const std::vector<std::string> log = harness.ui.LogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Table : pix : column photo : 1 BLOB values left out: none holds a file type of \"Look for these "
                      "file formats\", the types that are kept."),
            log.end())
      << ::testing::PrintToString(log);
  EXPECT_TRUE(harness.ui.placed_messages().empty());
  std::filesystem::remove_all(root);
}

TEST(PostgresWriterTest, PostgresFieldClasses) {
  TestDatabase db = PostgresWithBooleans();
  RunDialectGoldenCases(db, TargetDialect::PostgreSql,
                        {{"auto-increment, wide string, memo, BCD, boolean, BLOB, GUID, float and integer classes",
                          PostgresClassesTable(), nullptr,
       {"CREATE TABLE \"classes\" (\r\n\"id\" serial PRIMARY KEY,\r\n\"name\" character(10),\r\n\"memo\" text,\r\n"
        "\"amount\" numeric(10,2),\r\n\"flag\" boolean,\r\n\"photo\" oid,\r\n\"uid\" character(255),\r\n\"ratio\" decimal,\r\n"
        "\"small\" smallint,\r\n\"big\" bigint\r\n);",
        "INSERT INTO \"classes\" (\"id\",\"name\",\"memo\",\"amount\",\"flag\",\"photo\",\"uid\",\"ratio\",\r\n"
        "\"small\",\"big\")\r\n   VALUES ('1','Grüße','it''s','12.50','1',NULL,\r\n"
        "'{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}','0.5','7','8');"}}});
}

}  // namespace
}  // namespace quill::testing
