// Golden Pervasive scripts of small tables read through the real SQLite driver.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialect_golden.h"

namespace quill::testing {
namespace {

TEST(PervasiveWriterTest, SqliteGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::string name21 = "abcdefghijklmnopqrstu";
  const std::string long_text(5000, 'x');
  const std::string ten_blanks(10, ' ');
  const std::vector<DialectGoldenCase> cases = {
      {"every name quoted; a 21-character name cut to 20, also in the key clause; every value quoted",
       {"people",
        {{"id", "INT"}, {name21, "INT"}, {"name", "VARCHAR(254)"}, {"memo", "VARCHAR(255)"}, {"ok", "BOOLEAN"}},
        {"id", name21},
        {{"1", "2", "'O''Hara'", "NULL", "NULL"}, {"3", "4", "NULL", "'m'", "1"}}},
       [](Settings& s) { s.drop = true; },
       {"DROP TABLE \"people\";\r\nCREATE TABLE \"people\"\r\n(\"id\" integer,\r\n\"abcdefghijklmnopqrst\" integer,\r\n"
        "\"name\" char(254),\r\n\"memo\" longvarchar,\r\n\"ok\" bit,\r\nPRIMARY KEY(\"id\",\"abcdefghijklmnopqrst\")\r\n);",
        "INSERT INTO \"people\" VALUES ('1','2','O''Hara',NULL,NULL);",
        "INSERT INTO \"people\" VALUES ('3','4',NULL,'m','1');"}},

      {"no key: no clause; NullQuoted writes ''; long strings whole, blanks inside values kept",
       {"plain", {{"n", "INT"}, {"s", "VARCHAR(6000)"}, {"f", "REAL"}}, {},
        {{"12", "'" + long_text + "'", "2.5"}, {"NULL", "'a" + ten_blanks + "b'", "NULL"}}},
       [](Settings& s) { s.null_quoted = true; },
       {"CREATE TABLE \"plain\"\r\n(\"n\" integer,\r\n\"s\" longvarchar,\r\n\"f\" double\r\n);",
        "INSERT INTO \"plain\" VALUES ('12','" + long_text + "','2.5');",
        "INSERT INTO \"plain\" VALUES ('','a" + ten_blanks + "b','');"}},

      {"date formatting with the default format; NULL dates stay NULL; times are not formatted",
       {"dates", {{"d", "DATE"}, {"dt", "DATETIME"}, {"t", "TIME"}}, {},
        {{"'2004-12-31'", "'2004-12-31 10:11:12'", "'10:11:12'"}, {"NULL", "NULL", "NULL"}}},
       [](Settings& s) { s.formatting = true; DataOnly(s); },
       {"INSERT INTO \"dates\" VALUES ('2004-12-31','2004-12-31','10:11:12');",
        "INSERT INTO \"dates\" VALUES (NULL,NULL,NULL);"}},

      {"date formatting with names, separators and times of the built-in formatter",
       {"dates", {}, {}, {}},
       [](Settings& s) { s.formatting = true; s.pe_format = "dd mmm yyyy hh:nn"; DataOnly(s); },
       {"INSERT INTO \"dates\" VALUES ('31 Dec 2004 00:00','31 Dec 2004 10:11','10:11:12');",
        "INSERT INTO \"dates\" VALUES (NULL,NULL,NULL);"}},

      {"converted dates are char columns; times stay time",
       {"dates", {}, {}, {}},
       [](Settings& s) { s.convert = true; s.size = "25"; s.content = ContentMode::TableOnly; },
       {"CREATE TABLE \"dates\"\r\n(\"d\" char(25),\r\n\"dt\" char(25),\r\n\"t\" time\r\n);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Pervasive, cases);
}

TEST(PervasiveWriterTest, BlobValues) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::filesystem::path root = GeneratorHarness::MakeProgramFolder();
  const std::string folder = root.string() + "/src/pix/photo1";
  const TableDescription table{"pix", {{"id", "INT"}, {"photo", "BLOB"}}, {},
                               {{"1", "X'4F4C4500894E4789504E470D0A1A0A'"}, {"2", "X'414243'"}}};
  auto files = [&](Settings& s) {
    DataOnly(s);
    s.extract_files = true;
    s.files_method = 0;
    s.find_png = true;
    s.blob_path = root.string();
  };
  const std::vector<DialectGoldenCase> cases = {
      {"raw files: written, and the value is NULL", table, [&](Settings& s) { files(s); s.save_as_raw = true; },
       {"INSERT INTO \"pix\" VALUES ('1',NULL);", "INSERT INTO \"pix\" VALUES ('2',NULL);"}},
      {"file paths: the quoted path", table, files,
       {"INSERT INTO \"pix\" VALUES ('1','" + folder + "/1.png');", "INSERT INTO \"pix\" VALUES ('2',NULL);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Pervasive, cases);
  EXPECT_TRUE(std::filesystem::exists(folder + "/1.png"));
  std::filesystem::remove_all(root);
}

TEST(PervasiveWriterTest, PostgresFieldClasses) {
  TestDatabase db = PostgresWithBooleans();
  RunDialectGoldenCases(db, TargetDialect::Pervasive,
                        {{"auto-increment, wide string, memo, BCD, boolean, BLOB, GUID, float and integer classes",
                          PostgresClassesTable(), nullptr,
       {"CREATE TABLE \"classes\"\r\n(\"id\" identity,\r\n\"name\" varchar(10),\r\n\"memo\" longvarchar,\r\n"
        "\"amount\" decimal(10,2),\r\n\"flag\" bit,\r\n\"photo\" longvarbinary,\r\n\"uid\" varchar(255),\r\n\"ratio\" double,\r\n"
        "\"small\" integer,\r\n\"big\" bigint,\r\nPRIMARY KEY(\"id\")\r\n);",
        "INSERT INTO \"classes\" VALUES ('1','Grüße','it''s','12.50','1',NULL,'{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}',"
        "'0.5','7','8');"}}});
}

}  // namespace
}  // namespace quill::testing
