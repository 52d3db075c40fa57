// The ODBC provider over the MariaDB driver: databases are catalogs, there
// are no schemas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "platform/dataset/data_access_error.h"
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
