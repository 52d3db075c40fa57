// Golden MySql scripts of small tables read through the real SQLite driver.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialect_golden.h"
#include "generator/wrap_text.h"
#include "platform/formatting/format_settings.h"

namespace quill::testing {
namespace {

TEST(MySqlWriterTest, SqliteGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<DialectGoldenCase> cases = {
      {"no key: CREATE ends with the last column; backslashes doubled, also a final one; line breaks "
       "escaped; text keeps its commas",
       {"notes", {{"id", "INT"}, {"s", "VARCHAR(255)"}, {"t", "VARCHAR(256)"}, {"m", "TEXT"}}, {},
        {{"1", "'a\\b'", "'ends\\'", "'x,y'"}, {"NULL", "NULL", "''", "NULL"},
         {"3", "NULL", "NULL", "'x' || char(13,10) || 'y'"}}},
       [](Settings& s) { s.drop = true; },
       {"DROP TABLE IF EXISTS `notes`;\r\nCREATE TABLE `notes` (\r\n`id` int(11),\r\n`s` varchar(255),\r\n"
        "`t` longtext,\r\n`m` longtext\r\n) DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;",
        "INSERT INTO `notes` VALUES('1','a\\\\b','ends\\\\','x,y');",
        "INSERT INTO `notes` VALUES(NULL,NULL,NULL,NULL);",
        "INSERT INTO `notes` VALUES('3',NULL,NULL,'x\\r\\ny');"}},

      {"a composite key lists its columns back-quoted; back quotes in names doubled",
       {"pairs", {{"a id", "INT"}, {"b", "VARCHAR(5)"}, {"x`y", "INT"}}, {"a id", "b"}, {{"1", "'k'", "2"}}},
       nullptr,
       {"CREATE TABLE `pairs` (\r\n`a id` int(11),\r\n`b` varchar(5),\r\n`x``y` int(11),\r\n"
        "PRIMARY KEY(`a id`,`b`)\r\n) DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;",
        "INSERT INTO `pairs` VALUES('1','k','2');"}},

      {"date formatting: STR_TO_DATE for dates and date-times, NULL stays NULL, times stay text",
       {"dates", {{"d", "DATE"}, {"dt", "DATETIME"}, {"t", "TIME"}}, {},
        {{"'2004-12-31'", "'2004-12-31 10:11:12'", "'10:11:12'"}, {"NULL", "NULL", "NULL"}}},
       [](Settings& s) { s.formatting = true; s.my_format = "%Y-%m-%d %H:%i:%s"; DataOnly(s); },
       {"INSERT INTO `dates` VALUES(STR_TO_DATE('2004-12-31',\r\n'%Y-%m-%d %H:%i:%s'),"
        "STR_TO_DATE('2004-12-31 10:11:12',\r\n'%Y-%m-%d %H:%i:%s'),'10:11:12');",
        "INSERT INTO `dates` VALUES(NULL,NULL,NULL);"}},

      {"an empty table gets its CREATE part only",
       {"empty", {{"a", "INT"}}, {"a"}, {}},
       nullptr,
       {"CREATE TABLE `empty` (\r\n`a` int(11),\r\nPRIMARY KEY(`a`)\r\n) DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;"}},

      {"converted dates are varchar columns; a time whose values hold no fraction is plain time",
       {"dates", {}, {}, {}},
       [](Settings& s) { s.convert = true; s.size = "25"; s.content = ContentMode::TableOnly; },
       {"CREATE TABLE `dates` (\r\n`d` varchar(25),\r\n`dt` varchar(25),\r\n`t` time\r\n) DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;"}},

      {"NullQuoted; booleans as digits; rows wrap at 60 outside quotes",
       {"wide", {{"a", "INT"}, {"b", "VARCHAR(120)"}, {"c", "BOOLEAN"}, {"d", "INT"}}, {},
        {{"1", "'one, two, three, four, five, six, seven, eight'", "1", "NULL"}, {"2", "NULL", "0", "4"}}},
       [](Settings& s) { s.null_quoted = true; DataOnly(s); },
       {"INSERT INTO `wide` VALUES('1',\r\n'one, two, three, four, five, six, seven, eight','1','');",
        "INSERT INTO `wide` VALUES('2','','0','4');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::MySql, cases);
}

TEST(MySqlWriterTest, DecimalCommaOfAFloatMaskBecomesAPoint) {
  TestDatabase db = TestDatabase::Sqlite();
  FormatSettings& format = GlobalFormatSettings();
  const FormatSettings saved = format;
  format.decimal_separator = ",";
  const std::vector<DialectGoldenCase> cases = {
      {"float and text",
       {"money", {{"f", "REAL"}, {"s", "VARCHAR(9)"}}, {}, {{"2.25", "'12,5'"}}},
       [](Settings& s) { s.float_format = "0.0"; DataOnly(s); },
       {"INSERT INTO `money` VALUES('2.3','12,5');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::MySql, cases);
  format = saved;
}

TEST(MySqlWriterTest, DestinationDatabaseAndBlobValues) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::filesystem::path root = GeneratorHarness::MakeProgramFolder();
  // The node's caption holds a comma, which the file's path keeps.
  const std::string folder = root.string() + "/a,b/pix/photo1";
  const TableDescription table{"pix", {{"id", "INT"}, {"photo", "BLOB"}, {"d", "DATE"}}, {},
                               {{"1", "X'4F4C4500894E4789504E470D0A1A0A'", "'2004-12-31'"},
                                {"2", "X'414243'", "NULL"}}};
  auto files = [&](Settings& s) {
    DataOnly(s);
    s.ms_schema = "sales";
    s.extract_files = true;
    s.files_method = 0;
    s.find_png = true;
    s.blob_path = root.string();
  };
  const std::vector<DialectGoldenCase> cases = {
      {"raw files: LOAD_FILE stays an expression under date formatting", table,
       [&](Settings& s) { files(s); s.save_as_raw = true; s.formatting = true; s.my_format = "%Y-%m-%d"; },
       {WrapText("INSERT INTO `sales`.`pix` VALUES('1',LOAD_FILE('" + folder +
                     "/1.png'),STR_TO_DATE('2004-12-31','%Y-%m-%d'));",
                 60),
        "INSERT INTO `sales`.`pix` VALUES('2',NULL,NULL);"}},
      {"file paths: the quoted path, its comma kept", table, files,
       {WrapText("INSERT INTO `sales`.`pix` VALUES('1','" + folder + "/1.png','2004-12-31');", 60),
        "INSERT INTO `sales`.`pix` VALUES('2',NULL,NULL);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::MySql, cases, "a,b");
  EXPECT_TRUE(std::filesystem::exists(folder + "/1.png"));
  std::filesystem::remove_all(root);
}

TEST(MySqlWriterTest, PostgresFieldClasses) {
  TestDatabase db = PostgresWithBooleans();
  RunDialectGoldenCases(db, TargetDialect::MySql,
                        {{"auto-increment, wide string, memo, BCD, boolean, BLOB, GUID, float and integer classes",
                          PostgresClassesTable(), nullptr,
       {"CREATE TABLE `classes` (\r\n`id` int(11),\r\n`name` varchar(10),\r\n`memo` longtext,\r\n`amount` decimal(10,2),\r\n"
        "`flag` bool,\r\n`photo` longblob,\r\n`uid` varchar(255),\r\n`ratio` double,\r\n`small` smallint(6),\r\n"
        "`big` bigint(20),\r\nPRIMARY KEY(`id`)\r\n) DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_bin;",
        "INSERT INTO `classes` VALUES('1','Grüße','it''s','12.50',\r\n'1',NULL,'{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}','0.5','7',\r\n"
        "'8');"}}});
}

}  // namespace
}  // namespace quill::testing
