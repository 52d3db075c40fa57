// The ODBC provider over the SQLite driver: a source without catalogs or
// schemas whose driver does not hold values to their declared sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "platform/dataset/data_access_error.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

TEST(OdbcSqlite, FieldClassesFollowTheDeclaredTypeNames) {
  const std::vector<ExpectedField> cases = {
      {"INTEGER PRIMARY KEY AUTOINCREMENT", "TAutoIncField", FieldKind::ftAutoInc},
      {"VARCHAR(20)", "TStringField", FieldKind::ftString},
      {"CHAR(3)", "TStringField", FieldKind::ftString},
      {"TEXT", "TMemoField", FieldKind::ftMemo},
      {"SMALLINT", "TSmallintField", FieldKind::ftSmallint},
      {"INT", "TIntegerField", FieldKind::ftInteger},
      {"BIGINT", "TLargeintField", FieldKind::ftLargeint},
      {"BOOLEAN", "TBooleanField", FieldKind::ftBoolean},
      {"REAL", "TFloatField", FieldKind::ftFloat},
      {"DOUBLE", "TFloatField", FieldKind::ftFloat},
      {"NUMERIC(8,3)", "TBCDField", FieldKind::ftBCD},
      {"DECIMAL(10,2)", "TBCDField", FieldKind::ftBCD},
      {"MONEY", "TBCDField", FieldKind::ftCurrency},
      {"DATE", "TDateField", FieldKind::ftDate},
      {"TIME", "TTimeField", FieldKind::ftTime},
      {"DATETIME", "TDateTimeField", FieldKind::ftDateTime},
      {"TIMESTAMP", "TDateTimeField", FieldKind::ftDateTime},
      {"BLOB", "TBlobField", FieldKind::ftBlob},
  };
  TestDatabase database = TestDatabase::Sqlite();
  ExpectFieldClasses(database, "typed", "typed", cases);
  EXPECT_EQ(OpenSource(database)->OpenTable("typed")->FieldAt(1).Size(), 20);
}

TEST(OdbcSqlite, ValuesAndNullsOfEveryForm) {
  TestDatabase database = TestDatabase::Sqlite();
  database.CreateTable({"v",
                        {{"i", "INTEGER"},
                         {"big", "BIGINT"},
                         {"f", "DOUBLE"},
                         {"d", "DECIMAL(10,2)"},
                         {"b", "BOOLEAN"},
                         {"day", "DATE"},
                         {"moment", "TIMESTAMP"},
                         {"clock", "TIME"},
                         {"s", "VARCHAR(10)"}},
                        {},
                        {{"-7", "9007199254740993", "0.1", "'12.50'", "1", "'1850-02-28'", "'2024-03-05 06:07:08'",
                          "'23:59:58'", "'x'"},
                         {"NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"}},
                        ""});
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("v");
  ASSERT_FALSE(dataset->Eof());
  EXPECT_EQ(dataset->FindField("i")->AsInteger(), -7);
  EXPECT_EQ(dataset->FindField("big")->AsInteger(), 9007199254740993);
  EXPECT_EQ(dataset->FindField("big")->AsString(), "9007199254740993");
  EXPECT_EQ(dataset->FindField("f")->AsFloat(), 0.1);
  EXPECT_EQ(dataset->FindField("d")->RawText(), "12.5");  // NUMERIC affinity stores a number
  EXPECT_TRUE(dataset->FindField("b")->AsBoolean());
  EXPECT_EQ(dataset->FindField("day")->AsDateTime(), (DateTime{1850, 2, 28, 0, 0, 0, 0}));
  EXPECT_EQ(dataset->FindField("moment")->AsDateTime(), (DateTime{2024, 3, 5, 6, 7, 8, 0}));
  const DateTime clock = dataset->FindField("clock")->AsDateTime();
  EXPECT_EQ((std::vector<int>{clock.hour, clock.minute, clock.second}), (std::vector<int>{23, 59, 58}));
  EXPECT_EQ(dataset->FindField("s")->AsString(), "x");
  dataset->Next();
  ASSERT_FALSE(dataset->Eof());
  for (int i = 0; i < dataset->FieldCount(); ++i) {
    EXPECT_TRUE(dataset->FieldAt(i).IsNull()) << dataset->FieldAt(i).Name();
    EXPECT_EQ(dataset->FieldAt(i).AsString(), "") << dataset->FieldAt(i).Name();
  }
  dataset->Next();
  EXPECT_TRUE(dataset->Eof());
}

// The driver lets a value outgrow its declared size; the dataset must still
// hand it over whole, also in the middle of a block of rows.
TEST(OdbcSqlite, ValuesLongerThanTheirDeclaredSizeArriveWhole) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE t (id INTEGER, s VARCHAR(5), b VARBINARY(4))");
  database.Execute(
      "WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 3000) "
      "INSERT INTO t SELECT k, CASE WHEN k IN (1500, 2900) THEN printf('%.*c', k, 'x') ELSE 'r' || k END, "
      "CASE WHEN k = 2000 THEN zeroblob(70000) ELSE x'01' END FROM n");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("t");
  int64_t expected_id = 1;
  for (; !dataset->Eof(); dataset->Next(), ++expected_id) {
    ASSERT_EQ(dataset->FindField("id")->AsInteger(), expected_id);
    const std::string text = dataset->FindField("s")->AsString();
    if (expected_id == 1500 || expected_id == 2900) {
      ASSERT_EQ(text, std::string(expected_id, 'x'));
    } else {
      ASSERT_EQ(text, "r" + std::to_string(expected_id));
    }
    ASSERT_EQ(dataset->FindField("b")->RawText().size(), expected_id == 2000 ? 70000u : 1u);
  }
  EXPECT_EQ(expected_id, 3001);
}

TEST(OdbcSqlite, TablesRowsetListsBareNamesWithViews) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE people (id INTEGER PRIMARY KEY, name TEXT)");
  database.Execute("CREATE VIEW adults AS SELECT * FROM people");
  auto connection = OpenSource(database);
  auto tables = connection->OpenSchema(SchemaKind::Tables);
  ASSERT_NE(tables->FindField("TABLE_SCHEMA"), nullptr);
  ASSERT_NE(tables->FindField("TABLE_CATALOG"), nullptr);
  ASSERT_NE(tables->FindField("REMARKS"), nullptr);
  std::vector<std::string> listed;
  for (; !tables->Eof(); tables->Next()) {
    EXPECT_EQ(tables->FindField("TABLE_SCHEMA")->AsString(), "");
    listed.push_back(tables->FindField("TABLE_NAME")->AsString() + ":" + tables->FindField("TABLE_TYPE")->AsString());
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"adults:VIEW", "people:TABLE"}));
}

// Schema and table restrictions are names, not patterns: "a_b" must not
// also find "axb".
TEST(OdbcSqlite, RestrictionsMatchNamesExactly) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE a_b (one INTEGER PRIMARY KEY)");
  database.Execute("CREATE TABLE axb (two INTEGER PRIMARY KEY, three TEXT)");
  auto connection = OpenSource(database);
  SchemaRestrictions restrictions;
  restrictions.table = "a_b";
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, restrictions), "COLUMN_NAME"),
            (std::vector<std::string>{"one"}));
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Tables, restrictions), "TABLE_NAME"),
            (std::vector<std::string>{"a_b"}));
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions), "COLUMN_NAME"),
            (std::vector<std::string>{"one"}));
}

TEST(OdbcSqlite, ColumnsAndCompositePrimaryKeysInTheDriversOrder) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE lines (id_order INTEGER, note TEXT, id_line INTEGER, PRIMARY KEY (id_order, id_line))");
  auto connection = OpenSource(database);
  SchemaRestrictions restrictions;
  restrictions.schema = "";  // an empty restriction counts as unassigned
  restrictions.table = "lines";
  auto columns = connection->OpenSchema(SchemaKind::Columns, restrictions);
  for (const char* name : {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "DATA_TYPE", "TYPE_NAME",
                           "COLUMN_SIZE"}) {
    EXPECT_NE(columns->FindField(name), nullptr) << name;
  }
  EXPECT_EQ(ColumnTexts(*columns, "COLUMN_NAME"), (std::vector<std::string>{"id_order", "note", "id_line"}));
  auto keys = connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions);
  for (const char* name : {"TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "KEY_SEQ", "PK_NAME"}) {
    EXPECT_NE(keys->FindField(name), nullptr) << name;
  }
  EXPECT_EQ(ColumnTexts(*keys, "COLUMN_NAME"), (std::vector<std::string>{"id_order", "id_line"}));
  EXPECT_THROW(connection->OpenSchema(SchemaKind::PrimaryKeys, {}), DataAccessError);
}

// Without schemas a point belongs to the name; brackets are dropped; quotes
// inside a name are doubled.
TEST(OdbcSqlite, NamesWithPointsBracketsBlanksAndQuotesOpen) {
  TestDatabase database = TestDatabase::Sqlite();
  for (const std::string name : {"file.csv", "order lines", "say \"hi\""}) {
    database.CreateTable({name, {{"v", "VARCHAR(20)"}}, {}, {{"'" + name + "'"}}, ""});
  }
  auto connection = OpenSource(database);
  for (const std::string listed : {"file.csv", "[file.csv]", "order lines", "[order lines]", "say \"hi\""}) {
    auto dataset = connection->OpenTable(listed);
    ASSERT_FALSE(dataset->Eof()) << listed;
    const std::string bare = listed.front() == '[' ? listed.substr(1, listed.size() - 2) : listed;
    EXPECT_EQ(dataset->FieldAt(0).AsString(), bare);
  }
}

TEST(OdbcSqlite, RecordCountFirstAndLast) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE n (k INTEGER)");
  database.Execute("WITH RECURSIVE s(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM s WHERE k < 2500) INSERT INTO n SELECT k FROM s");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("n");
  EXPECT_EQ(dataset->RecordCount(), 2500);
  dataset->Next();
  EXPECT_EQ(dataset->FieldAt(0).AsInteger(), 2);
  dataset->Last();
  EXPECT_TRUE(dataset->Eof());
  dataset->Next();
  EXPECT_TRUE(dataset->Eof());
  // The rows are read as they are fetched, so the source is changed only
  // while the dataset does not read.
  database.Execute("DELETE FROM n WHERE k > 10");
  EXPECT_EQ(dataset->RecordCount(), 2500) << "asked once";
  dataset->First();  // reads again: the rows deleted meanwhile are gone
  EXPECT_EQ(ColumnTexts(*dataset, "k").size(), 10u);

  // Counting while the rows are being read leaves the reading whole.
  auto counted = connection->OpenTable("[n]");
  EXPECT_EQ(counted->FieldAt(0).AsInteger(), 1);
  EXPECT_EQ(counted->RecordCount(), 10);
  EXPECT_EQ(ColumnTexts(*counted, "k").size(), 10u);

  auto empty = connection->OpenSchema(SchemaKind::Tables);
  EXPECT_EQ(empty->RecordCount(), std::nullopt);
}

TEST(OdbcSqlite, BlobBytesArriveIntact) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE files (id INTEGER, data BLOB)");
  std::string every_byte_hex;
  const char* digits = "0123456789ABCDEF";
  for (int b = 0; b < 256; ++b) every_byte_hex += std::string{digits[b >> 4], digits[b & 15]};
  database.Execute("INSERT INTO files VALUES (1, x'" + every_byte_hex + "'), (2, randomblob(1048576)), (3, NULL), (4, x'')");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("files");
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  EXPECT_EQ(dataset->FindField("data")->RawText(), every_byte);
  dataset->Next();
  const std::string megabyte = dataset->FindField("data")->RawText();
  EXPECT_EQ(megabyte.size(), 1048576u);
  EXPECT_EQ(database.Query("SELECT hex(data) FROM files WHERE id = 2")[0][0].value().size(), 2u * 1048576u);
  std::string hex;
  for (unsigned char c : megabyte.substr(0, 64)) hex += std::string{digits[c >> 4], digits[c & 15]};
  EXPECT_EQ(database.Query("SELECT hex(substr(data, 1, 64)) FROM files WHERE id = 2")[0][0].value(), hex);
  dataset->Next();
  EXPECT_TRUE(dataset->FindField("data")->IsNull());
  dataset->Next();
  EXPECT_FALSE(dataset->FindField("data")->IsNull());
  EXPECT_EQ(dataset->FindField("data")->RawText(), "");
}

TEST(OdbcSqlite, TableThatDisappearedGivesTheDriversTextAndTheNextOpenWorks) {
  TestDatabase database = TestDatabase::Sqlite();
  database.Execute("CREATE TABLE gone (k INTEGER)");
  database.Execute("CREATE TABLE kept (k INTEGER)");
  auto connection = OpenSource(database);
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Tables), "TABLE_NAME"),
            (std::vector<std::string>{"gone", "kept"}));
  database.Execute("DROP TABLE gone");
  try {
    connection->OpenTable("gone");
    FAIL() << "opened a dropped table";
  } catch (const DataAccessError& error) {
    EXPECT_NE(std::string(error.what()).find("no such table"), std::string::npos) << error.what();
    EXPECT_EQ(std::string(error.what()).front(), '[') << error.what();
  }
  EXPECT_TRUE(connection->OpenTable("kept")->Eof());
}

}  // namespace
}  // namespace quill::testing

namespace quill::testing {
namespace {

// The SQLite driver has only narrow calls; names beyond ASCII, up to 4-byte
// characters, must still open, list, count and come back exactly.
TEST(OdbcSqliteNames, TableAndColumnNamesBeyondAsciiOpenAndReadBackExactly) {
  TestDatabase database = TestDatabase::Sqlite();
  const ScriptRun created = RunSqliteScript(
      database, "CREATE TABLE \"日本 表\" (\"prénom\" TEXT PRIMARY KEY, \"名前😀\" TEXT); "
                "INSERT INTO \"日本 表\" VALUES ('Zoë', 'x');");
  ASSERT_TRUE(created.succeeded) << created.output;
  auto connection = OpenSource(database);
  auto table = connection->OpenTable("日本 表");
  ASSERT_EQ(table->FieldCount(), 2);
  EXPECT_EQ(table->FieldAt(0).Name(), "prénom");
  EXPECT_EQ(table->FieldAt(1).Name(), "名前😀");
  EXPECT_EQ(table->FieldAt(0).AsString(), "Zoë");
  EXPECT_EQ(table->RecordCount(), 1);

  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Tables), "TABLE_NAME"), std::vector<std::string>{"日本 表"});
  SchemaRestrictions restrictions;
  restrictions.table = "日本 表";
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Tables, restrictions), "TABLE_NAME"),
            std::vector<std::string>{"日本 表"});
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, restrictions), "COLUMN_NAME"),
            (std::vector<std::string>{"prénom", "名前😀"}));
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions), "COLUMN_NAME"),
            std::vector<std::string>{"prénom"});
}

}  // namespace
}  // namespace quill::testing
