// The ODBC provider over the MariaDB driver: databases are catalogs, there
// are no schemas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "platform/dataset/data_access_error.h"
#include "platform/odbc/odbc_result_dataset.h"
#include "platform/odbc/utf16_text.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

TEST(OdbcMariaDb, FieldClasses) {
  const std::vector<ExpectedField> cases = {
      {"INT AUTO_INCREMENT PRIMARY KEY", "TAutoIncField", FieldKind::ftAutoInc},
      {"VARCHAR(20)", "TStringField", FieldKind::ftString},  // the driver gives the ANSI codes
      {"CHAR(3) CHARACTER SET latin1", "TStringField", FieldKind::ftString},
      {"VARCHAR(9) CHARACTER SET latin1", "TStringField", FieldKind::ftString},
      {"TEXT", "TMemoField", FieldKind::ftMemo},
      {"TINYINT", "TSmallintField", FieldKind::ftSmallint},
      {"BOOLEAN", "TSmallintField", FieldKind::ftSmallint},
      {"TINYINT UNSIGNED", "TWordField", FieldKind::ftWord},
      {"SMALLINT UNSIGNED", "TWordField", FieldKind::ftWord},
      {"SMALLINT", "TSmallintField", FieldKind::ftSmallint},
      {"INT", "TIntegerField", FieldKind::ftInteger},
      {"BIGINT UNSIGNED", "TLargeintField", FieldKind::ftLargeint},
      {"BIT(1)", "TBooleanField", FieldKind::ftBoolean},
      {"FLOAT", "TFloatField", FieldKind::ftFloat},
      {"DOUBLE", "TFloatField", FieldKind::ftFloat},
      {"DECIMAL(10,2)", "TBCDField", FieldKind::ftBCD},
      {"DATE", "TDateField", FieldKind::ftDate},
      {"TIME", "TTimeField", FieldKind::ftTime},
      {"DATETIME", "TDateTimeField", FieldKind::ftDateTime},
      {"BINARY(4)", "TBytesField", FieldKind::ftBytes},
      {"VARBINARY(10)", "TVarBytesField", FieldKind::ftVarBytes},
      {"BLOB", "TBlobField", FieldKind::ftBlob},
  };
  TestDatabase database = TestDatabase::MariaDb();
  ExpectFieldClasses(database, "typed", "typed", cases);
}

TEST(OdbcMariaDb, UnsignedValuesBeyondTheSignedRangeKeepTheirDigits) {
  TestDatabase database = TestDatabase::MariaDb();
  database.CreateTable({"u",
                        {{"big", "BIGINT UNSIGNED"}, {"small", "TINYINT UNSIGNED"}, {"flag", "BIT(1)"}},
                        {},
                        {{"18446744073709551615", "255", "b'1'"}, {"9223372036854775807", "0", "b'0'"}},
                        ""});
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("u");
  EXPECT_EQ(dataset->FindField("big")->AsString(), "18446744073709551615");
  EXPECT_EQ(dataset->FindField("small")->AsInteger(), 255);
  EXPECT_TRUE(dataset->FindField("flag")->AsBoolean());
  dataset->Next();
  EXPECT_EQ(dataset->FindField("big")->AsInteger(), 9223372036854775807);
  EXPECT_FALSE(dataset->FindField("flag")->AsBoolean());
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) hex += std::string{digits[c >> 4], digits[c & 15]};
  return hex;
}

const std::vector<std::string>& WholeTexts() {
  static const std::vector<std::string> texts = {
      "\xC3\x9Ast\xC3\xA9" "ck\xC3\xBD kraj",  // Ústecký kraj
      "H\xC3\xA0 N\xE1\xBB\x99i",              // Hà Nội
      "\xC3\x9Ast\xC3\xA9" "ck\xC3\xBD",
      "\xE5\x8C\x97\xE4\xBA\xAC\xE5\xB8\x82 \xE6\x9D\xB1\xE4\xBA\xAC",  // CJK
      "\xF0\x9F\x98\x80 smile \xF0\x9F\x8E\x89",                                // emoji
      Repeat("H\xC3\xA0 N\xE1\xBB\x99i ", 60),  // beyond a long column's first buffer
      Repeat("\xC3\x9Ast\xC3\xA9" "ck\xC3\xBD kraj \xF0\x9F\x98\x80 ", 5000),  // beyond any bound buffer
      "",
  };
  return texts;
}

// The texts stored from their UTF-8 bytes, in a short and a long column.
void CreateNamesTable(TestDatabase& database) {
  database.Execute("CREATE TABLE names (id INT PRIMARY KEY, short_text VARCHAR(2000), long_text LONGTEXT)");
  for (std::size_t i = 0; i < WholeTexts().size(); ++i) {
    const std::string& text = WholeTexts()[i];
    const std::string literal = "CONVERT(UNHEX('" + Hex(text) + "') USING utf8mb4)";
    database.Execute("INSERT INTO names VALUES (" + std::to_string(i) + ", " + (text.size() < 2000 ? literal : "NULL") +
                     ", " + literal + ")");
  }
}

void ExpectTextsWhole(Dataset& dataset) {
  std::size_t row = 0;
  for (; !dataset.Eof(); dataset.Next(), ++row) {
    ASSERT_LT(row, WholeTexts().size());
    const std::string& text = WholeTexts()[row];
    EXPECT_EQ(dataset.FindField("long_text")->AsString(), text) << row;
    if (text.size() < 2000) {
      EXPECT_EQ(dataset.FindField("short_text")->AsString(), text) << row;
    }
  }
  EXPECT_EQ(row, WholeTexts().size());
}

// The driver's UTF-16 lengths of some of these are two bytes short; texts go
// beyond the first buffer of a long column and beyond any bound buffer.
TEST(OdbcMariaDb, TextArrivesWholeByteForByte) {
  TestDatabase database = TestDatabase::MariaDb();
  CreateNamesTable(database);
  auto connection = OpenSource(database);
  ExpectTextsWhole(*connection->OpenTable("names"));
}

// A session that cannot be given utf8mb4 (its DSN joins no connection string
// and names another character set) reads UTF-16 and ends each value at its
// terminator.
TEST(OdbcMariaDb, Utf16TextEndsAtItsTerminator) {
  TestDatabase database = TestDatabase::MariaDb();
  CreateNamesTable(database);
  auto session = std::make_shared<OdbcSession>(database.Dsn(), database.User(), database.Password(), 30, 45);
  OdbcResultDataset::Options options;
  options.wide_length_from_terminator = true;
  auto query = std::make_shared<WideText>(Utf8ToUtf16("SELECT * FROM names ORDER BY id"));
  OdbcResultDataset dataset(
      session, [query](SQLHSTMT statement) { return SQLExecDirectW(statement, query->data(), SQL_NTS); }, options);
  ExpectTextsWhole(dataset);
}

// TIME keeps its fraction, its sign and hours beyond 23; DATETIME its fraction.
TEST(OdbcMariaDb, TimesKeepFractionsSignsAndLongHours) {
  struct Case {
    std::string literal;
    DateTime expected;
  };
  const auto time = TimeValue;
  const std::vector<Case> cases = {
      {"'23:59:59.999999'", time(23, 59, 59, 999999000, false)},
      {"'-01:02:03'", time(1, 2, 3, 0, true)},
      {"'-838:59:59'", time(838, 59, 59, 0, true)},
      {"'838:59:59.999999'", time(838, 59, 59, 999999000, false)},
      {"'-00:00:00.5'", time(0, 0, 0, 500000000, true)},
      {"'00:00:00'", time(0, 0, 0, 0, false)},
  };
  TestDatabase database = TestDatabase::MariaDb();
  database.Execute("CREATE TABLE times (id INT PRIMARY KEY, t TIME(6), stamp DATETIME(6))");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    database.Execute("INSERT INTO times VALUES (" + std::to_string(i) + ", " + cases[i].literal +
                     ", '2020-01-02 23:59:59.999999')");
  }
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("times");
  EXPECT_EQ(dataset->FindField("t")->ClassName(), "TTimeField");
  std::size_t row = 0;
  for (; !dataset->Eof(); dataset->Next(), ++row) {
    ASSERT_LT(row, cases.size());
    EXPECT_EQ(dataset->FindField("t")->AsDateTime(), cases[row].expected) << cases[row].literal;
    EXPECT_EQ(dataset->FindField("stamp")->AsDateTime(), (DateTime{2020, 1, 2, 23, 59, 59, 999999000}));
  }
  EXPECT_EQ(row, cases.size());
}

// Another database on the same server holds tables too: only the current
// one's are listed and described.
TEST(OdbcMariaDb, SchemaRowsetsCoverTheCurrentDatabaseOnly) {
  TestDatabase database = TestDatabase::MariaDb();
  TestDatabase other = TestDatabase::MariaDb();
  database.CreateTable({"mine", {{"id", "INT"}, {"name", "VARCHAR(10)"}}, {"id"}, {}, ""});
  database.Execute("CREATE VIEW mine_view AS SELECT * FROM mine");
  other.CreateTable({"mine", {{"other_id", "INT"}}, {"other_id"}, {}, ""});
  other.CreateTable({"theirs", {{"x", "INT"}}, {}, {}, ""});
  auto connection = OpenSource(database);

  std::vector<std::string> listed;
  for (auto tables = connection->OpenSchema(SchemaKind::Tables); !tables->Eof(); tables->Next()) {
    EXPECT_EQ(tables->FindField("TABLE_CATALOG")->AsString(), database.DatabaseName());
    EXPECT_EQ(tables->FindField("TABLE_SCHEMA")->AsString(), "");
    listed.push_back(tables->FindField("TABLE_NAME")->AsString() + ":" + tables->FindField("TABLE_TYPE")->AsString());
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"mine:TABLE", "mine_view:VIEW"}));

  SchemaRestrictions mine;
  mine.table = "mine";
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, mine), "COLUMN_NAME"),
            (std::vector<std::string>{"id", "name"}));
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, mine), "COLUMN_NAME"),
            (std::vector<std::string>{"id"}));
  EXPECT_THROW(connection->OpenTable("theirs"), DataAccessError);
}

// The driver's UTF-16 lengths of these names are short too.
TEST(OdbcMariaDb, NamesBeyondAsciiArriveWhole) {
  const std::string table = "\xC3\x9Ast\xC3\xA9" "ck\xC3\xBD kraj";  // Ústecký kraj
  const std::vector<std::string> columns = {"H\xC3\xA0 N\xE1\xBB\x99i", "\xC3\x9Ast\xC3\xA9" "ck\xC3\xBD",
                                            "\xE5\x8C\x97\xE4\xBA\xAC\xE5\xB8\x82"};
  TestDatabase database = TestDatabase::MariaDb();
  database.CreateTable({table, {{columns[0], "INT"}, {columns[1], "INT"}, {columns[2], "INT"}}, {}, {{"1", "2", "3"}}, ""});
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable(table);
  ASSERT_EQ(dataset->FieldCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dataset->FieldAt(i).Name(), columns[i]);
    EXPECT_EQ(dataset->FieldAt(i).AsInteger(), i + 1);
  }
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Tables), "TABLE_NAME"), std::vector<std::string>{table});
  SchemaRestrictions restrictions;
  restrictions.table = table;
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, restrictions), "COLUMN_NAME"), columns);
}

// Without schemas a point belongs to the table's name.
TEST(OdbcMariaDb, NamesWithPointsBlanksAndBackquotesOpen) {
  TestDatabase database = TestDatabase::MariaDb();
  database.Execute("CREATE TABLE `file.csv` (v INT)");
  database.Execute("CREATE TABLE `odd ``name` (v INT)");
  database.Execute("INSERT INTO `file.csv` VALUES (1)");
  database.Execute("INSERT INTO `odd ``name` VALUES (2)");
  auto connection = OpenSource(database);
  EXPECT_EQ(connection->OpenTable("file.csv")->FieldAt(0).AsInteger(), 1);
  EXPECT_EQ(connection->OpenTable("[odd `name]")->FieldAt(0).AsInteger(), 2);
}

}  // namespace
}  // namespace quill::testing
