// Golden Oracle scripts of small tables read through the real SQLite driver.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialect_golden.h"
#include "generator/wrap_text.h"

namespace quill::testing {
namespace {

// The temporary folder's name varies in length, so rows holding it are
// compared with their wrapped form.
std::string Wrapped(const std::string& row) { return WrapText(row, 60); }

TEST(OracleWriterTest, SqliteGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::string name31 = "abcdefghijklmnopqrstuvwxyz12345";
  const std::string long_text(4000, 'x');
  const std::vector<DialectGoldenCase> cases = {
      {"names with a blank quoted, bare otherwise; a 31-character name cut to 30; every value quoted; "
       "a NULL boolean is NULL",
       {"Order Details",
        {{"id", "INT"}, {"Customer Name", "VARCHAR(20)"}, {name31, "INT"}, {"ok", "BOOLEAN"}, {"it's", "INT"}},
        {"id"},
        {{"1", "'O''Hara'", "12", "NULL", "NULL"}, {"2", "NULL", "NULL", "1", "3"}}},
       [](Settings& s) { s.drop = true; },
       {"DROP TABLE \"Order Details\";\r\nCREATE TABLE \"Order Details\" (\r\nid integer PRIMARY KEY,\r\n"
        "\"Customer Name\" varchar2(20),\r\nabcdefghijklmnopqrstuvwxyz1234 integer,\r\nok number(1),\r\n"
        "\"it's\" integer\r\n);",
        "INSERT INTO \"Order Details\" VALUES('1','O''Hara','12',NULL,\r\nNULL);",
        "INSERT INTO \"Order Details\" VALUES('2',NULL,NULL,'1','3');"}},

      {"a composite key is a table-level key in the columns' form",
       {"pairs", {{"a id", "INT"}, {"b", "VARCHAR(5)"}, {"c", "INT"}}, {"a id", "b"}, {}},
       nullptr,
       {"CREATE TABLE pairs (\r\n\"a id\" integer,\r\nb varchar2(5),\r\nc integer,\r\nPRIMARY KEY (\"a id\",b)\r\n);"}},

      {"Size 4001 is varchar2(4000); longer values are cut to 3997 characters",
       {"sizes", {{"s", "VARCHAR(4001)"}, {"t", "VARCHAR(10)"}}, {}, {{"'" + long_text + "'", "'b'"}}},
       nullptr,
       {"CREATE TABLE sizes (\r\ns varchar2(4000),\r\nt varchar2(10)\r\n);",
        "INSERT INTO sizes VALUES('" + long_text.substr(0, 3997) + "',\r\n'b');"}},

      {"date formatting: TO_DATE for dates and date-times, NULL ones too; times stay text",
       {"dates", {{"d", "DATE"}, {"dt", "DATETIME"}, {"t", "TIME"}}, {},
        {{"'2004-12-31'", "'2004-12-31 10:11:12'", "'10:11:12'"}, {"NULL", "NULL", "NULL"}}},
       [](Settings& s) { s.formatting = true; s.or_format = "YYYY-MM-DD"; s.content = ContentMode::DataOnly; },
       {"INSERT INTO dates VALUES(TO_DATE('2004-12-31','YYYY-MM-DD'),\r\n"
        "TO_DATE('2004-12-31 10:11:12','YYYY-MM-DD'),'10:11:12');",
        "INSERT INTO dates VALUES(TO_DATE('','YYYY-MM-DD'),\r\nTO_DATE('','YYYY-MM-DD'),NULL);"}},

      {"converted dates are text columns; times too",
       {"dates", {}, {}, {}},
       [](Settings& s) { s.convert = true; s.size = "25"; s.content = ContentMode::TableOnly; },
       {"CREATE TABLE dates (\r\nd varchar2(25),\r\ndt varchar2(25),\r\nt varchar2(25)\r\n);"}},

      {"rows wrap at 60 after a comma, never inside a quoted value; five blanks squeezed only outside values",
       {"wide", {{"a", "INT"}, {"b", "VARCHAR(120)"}, {"c", "INT"}, {"d", "INT"}}, {},
        {{"1", "'one, two, three, four, five, six, seven, eight, nine, ten,     x'", "3", "4"}}},
       DataOnly,
       {"INSERT INTO wide VALUES('1',\r\n'one, two, three, four, five, six, seven, eight, nine, ten,     x',\r\n"
        "'3','4');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Oracle, cases);
}

TEST(OracleWriterTest, BlobValues) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::filesystem::path root = GeneratorHarness::MakeProgramFolder();
  const std::string folder = root.string() + "/src/pix/photo1";
  // A PNG after a header; a BLOB of no known type.
  const TableDescription table{"pix", {{"id", "INT"}, {"photo", "BLOB"}, {"d", "DATE"}}, {},
                               {{"1", "X'4F4C4500894E4789504E470D0A1A0A'", "'2004-12-31'"},
                                {"2", "X'414243'", "NULL"}}};
  auto files = [&](Settings& s) {
    DataOnly(s);
    s.extract_files = true;
    s.files_method = 0;
    s.find_png = true;
    s.blob_path = root.string();
  };
  const std::vector<DialectGoldenCase> cases = {
      {"raw files: BFILENAME with folder and file name; dates keep TO_DATE",
       table,
       [&](Settings& s) { files(s); s.save_as_raw = true; s.formatting = true; s.or_format = "YYYY-MM-DD"; },
       {Wrapped("INSERT INTO pix VALUES('1',BFILENAME('" + folder + "','1.png'),TO_DATE('2004-12-31','YYYY-MM-DD'));"),
        "INSERT INTO pix VALUES('2',NULL,TO_DATE('','YYYY-MM-DD'));"}},
      {"file paths: the quoted path of the file",
       table,
       files,
       {Wrapped("INSERT INTO pix VALUES('1','" + folder + "/1.png','2004-12-31');"),
        "INSERT INTO pix VALUES('2',NULL,NULL);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Oracle, cases);
  EXPECT_TRUE(std::filesystem::exists(folder + "/1.png"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/2.png"));
  std::filesystem::remove_all(root);
}

TEST(OracleWriterTest, PostgresFieldClasses) {
  TestDatabase db = PostgresWithBooleans();
  RunDialectGoldenCases(db, TargetDialect::Oracle,
                        {{"auto-increment, wide string, memo, BCD, boolean, BLOB, GUID, float and integer classes",
                          PostgresClassesTable(), nullptr,
       {"CREATE TABLE classes (\r\nid integer PRIMARY KEY,\r\nname varchar2(10),\r\nmemo long,\r\namount number(10,2),\r\n"
        "flag number(1),\r\nphoto bfile,\r\n\"uid\" varchar(255),\r\nratio float,\r\nsmall integer,\r\nbig integer\r\n);",
        "INSERT INTO classes VALUES('1','Grüße','it''s','12.50','1',\r\nNULL,'{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}','0.5','7',\r\n"
        "'8');"}}});
}

}  // namespace
}  // namespace quill::testing
