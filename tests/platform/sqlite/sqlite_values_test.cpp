// SQLite sources read through the SQLite library: each value with its own
// storage class, and each column in a class that holds all of its values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "platform/connection/connection.h"
#include "platform/odbc/odbc_test_support.h"

namespace quill::testing {
namespace {

void RunScript(const TestDatabase& database, const std::string& script) {
  const ScriptRun run = RunSqliteScript(database, script);
  ASSERT_TRUE(run.succeeded) << run.output;
}

// One column: its declared type, the SQL literals of its rows, the field
// class it must get and each row's field text ("<NULL>" for NULL).
struct ColumnCase {
  std::string declared_type;
  std::vector<std::string> literals;
  std::string class_name;
  std::vector<std::string> texts;
  int size = -1;  // checked when not -1
};

TEST(SqliteValues, EachColumnGetsAClassThatHoldsAllOfItsValues) {
  const std::vector<ColumnCase> cases = {
      {"INTEGER_OR_TEXT", {"'ABC'", "'1_Ceres'", "7"}, "TStringField", {"ABC", "1_Ceres", "7"}, 7},
      {"INTEGER_OR_TEXT", {"'ABC'", "-1234567890123"}, "TStringField", {"ABC", "-1234567890123"}, 14},
      {"INTEGER", {"printf('%.*c', 256, 'x')", "1"}, "TMemoField", {std::string(256, 'x'), "1"}},
      {"INTEGER", {"'x7'", "5"}, "TStringField", {"x7", "5"}, 2},
      {"INTEGER", {"2490000000", "-1"}, "TLargeintField", {"2490000000", "-1"}},
      {"INTEGER", {"-9223372036854775808", "9223372036854775807"}, "TLargeintField",
       {"-9223372036854775808", "9223372036854775807"}},
      {"INTEGER", {"2147483647", "NULL"}, "TIntegerField", {"2147483647", "<NULL>"}},
      {"INTEGER", {"1.5", "2"}, "TFloatField", {"1.5", "2"}},
      {"SMALLINT", {"40000"}, "TIntegerField", {"40000"}},
      {"BOOLEAN", {"0", "1"}, "TBooleanField", {"False", "True"}},
      {"BOOLEAN", {"0", "2"}, "TSmallintField", {"0", "2"}},
      {"REAL", {"18.833333333333332", "0.1", "1e300"}, "TFloatField", {"18.833333333333332", "0.1", "1E300"}},
      {"DOUBLE", {"'n/a'", "2.5"}, "TStringField", {"n/a", "2.5"}, 24},
      {"DECIMAL(10,2)", {"12.5", "3", "'12.50'"}, "TBCDField", {"12.5", "3", "12.5"}},
      {"DECIMAL(10,2)", {"1e999", "-1e999", "2.5"}, "TFloatField", {"INF", "-INF", "2.5"}},
      {"", {"1e999", "2.5"}, "TStringField", {"inf", "2.5"}},
      {"TEXT", {"'Zoë 日本😀'", "''"}, "TMemoField", {"Zoë 日本😀", ""}},
      {"TEXT", {"x'00ff'", "'a'"}, "TBlobField", {std::string("\0\xff", 2), "a"}},
      {"VARCHAR(3)", {"'abc'"}, "TStringField", {"abc"}, 3},
      {"VARCHAR(3)", {"'abcdéf'"}, "TStringField", {"abcdéf"}, 6},
      {"VARCHAR(3)", {"printf('%.*c', 256, 'x')"}, "TMemoField", {std::string(256, 'x')}},
      {"VARCHAR(9000)", {"printf('%.*c', 8500, 'x')"}, "TStringField", {std::string(8500, 'x')}, 9000},
      {"", {"1", "'x'"}, "TStringField", {"1", "x"}, 255},
      {"", {"x'01'", "'x'"}, "TBlobField", {"\x01", "x"}},
      {"BLOB", {"x'0102'", "NULL"}, "TBlobField", {"\x01\x02", "<NULL>"}},
      {"VARBINARY(2)", {"x'010203'"}, "TBlobField", {"\x01\x02\x03"}},
      {"DATE", {"'2024-03-05'", "'1850-02-28 00:00:00'"}, "TDateField", {"2024-03-05", "1850-02-28"}},
      {"DATE", {"'2024-03-05'", "'soon'"}, "TStringField", {"2024-03-05", "soon"}, 10},
      {"DATE", {"'2024-03-05'", "'2024-03-05 06:07:08'"}, "TDateTimeField", {"2024-03-05", "2024-03-05 06:07:08"}},
      {"DATE", {"'2024-02-30'"}, "TStringField", {"2024-02-30"}},
      {"DATETIME", {"'2024-03-05T06:07:08'", "'2024-03-05 06:07:08+02:00'"}, "TStringField",
       {"2024-03-05T06:07:08", "2024-03-05 06:07:08+02:00"}},
      {"DATETIME", {"2460000"}, "TIntegerField", {"2460000"}},
      {"TIME", {"'23:59:58'"}, "TTimeField", {"23:59:58"}},
      {"TIME", {"'23:59:58'", "'2024-03-05'"}, "TStringField", {"23:59:58", "2024-03-05"}},
      {"TIME", {"'23:59:58'", "1.5"}, "TStringField", {"23:59:58", "1.5"}},
  };
  TestDatabase database = TestDatabase::Sqlite();
  std::string script;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string table = "t" + std::to_string(i);
    script += "CREATE TABLE " + table + " (v " + cases[i].declared_type + ");";
    for (const std::string& literal : cases[i].literals) script += "INSERT INTO " + table + " VALUES (" + literal + ");";
  }
  RunScript(database, script);
  auto connection = OpenSource(database);
  for (size_t i = 0; i < cases.size(); ++i) {
    const ColumnCase& c = cases[i];
    SCOPED_TRACE(c.declared_type + " holding " + c.literals.front());
    auto dataset = connection->OpenTable("t" + std::to_string(i));
    const Field& field = dataset->FieldAt(0);
    EXPECT_EQ(field.ClassName(), c.class_name);
    if (c.size != -1) {
      EXPECT_EQ(field.Size(), c.size);
    }
    std::vector<std::string> texts;
    for (; !dataset->Eof(); dataset->Next()) texts.push_back(field.IsNull() ? "<NULL>" : field.AsString());
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(dataset->RecordCount(), static_cast<int64_t>(c.literals.size()));
  }
}

// The pass over the values looks at columns in groups: a wide table is
// decided column by column all the same, and an empty one by its declared types.
TEST(SqliteValues, WideAndEmptyTablesGetTheirClasses) {
  TestDatabase database = TestDatabase::Sqlite();
  std::string create = "CREATE TABLE wide (";
  std::string values = "INSERT INTO wide VALUES (";
  for (int i = 0; i < 250; ++i) {
    create += (i > 0 ? ", c" : "c") + std::to_string(i) + (i % 2 == 0 ? " INTEGER" : " BLOB");
    values += (i > 0 ? ", " : "") + std::string(i == 240 ? "'text'" : i % 2 == 0 ? "1" : "x'00'");
  }
  RunScript(database, create + "); " + values + "); CREATE TABLE empty (i INTEGER, d DATE, s VARCHAR(3));");
  auto connection = OpenSource(database);
  auto wide = connection->OpenTable("wide");
  ASSERT_EQ(wide->FieldCount(), 250);
  for (int i = 0; i < 250; ++i) {
    const std::string expected = i == 240 ? "TStringField" : i % 2 == 0 ? "TIntegerField" : "TBlobField";
    EXPECT_EQ(wide->FieldAt(i).ClassName(), expected) << i;
  }
  EXPECT_EQ(wide->FieldAt(240).AsString(), "text");
  auto empty = connection->OpenTable("empty");
  EXPECT_TRUE(empty->Eof());
  EXPECT_EQ(empty->FieldAt(0).ClassName(), "TIntegerField");
  EXPECT_EQ(empty->FieldAt(1).ClassName(), "TDateField");
  EXPECT_EQ(empty->FieldAt(2).ClassName(), "TStringField");
  EXPECT_EQ(empty->FieldAt(2).Size(), 3);
}

TEST(SqliteValues, RealsIntegersAndDatesKeepEveryDigit) {
  TestDatabase database = TestDatabase::Sqlite();
  RunScript(database,
            "CREATE TABLE v (r REAL, i INTEGER, moment DATETIME, clock TIME);"
            "INSERT INTO v VALUES (18.833333333333332, 2490000000, '2024-03-05 06:07:08.25', '23:59:59.999999');");
  auto dataset = OpenSource(database)->OpenTable("v");
  EXPECT_EQ(dataset->FieldAt(0).AsFloat(), 18.833333333333332);
  EXPECT_EQ(dataset->FieldAt(1).AsInteger(), 2490000000);
  EXPECT_EQ(dataset->FieldAt(2).AsDateTime(), (DateTime{2024, 3, 5, 6, 7, 8, 250000000}));
  EXPECT_EQ(dataset->FieldAt(3).AsDateTime(), (DateTime{1899, 12, 30, 23, 59, 59, 999999000}));
}

// SQLite declares no fraction of a second: the most digits a column's date
// texts need are its fraction digits.
TEST(SqliteValues, DateColumnsTakeTheFractionDigitsOfTheirTexts) {
  struct Case {
    std::string declared_type;
    std::vector<std::string> literals;
    int fraction_digits;
  };
  const std::vector<Case> cases = {
      {"DATETIME", {"'2024-03-05 06:07:08'", "'2024-03-05 06:07:09'"}, 0},
      {"DATETIME", {"'2024-03-05 06:07:08.25'", "'2024-03-05 06:07:08.1'"}, 2},
      {"TIMESTAMP", {"'2024-03-05 06:07:08.123456'", "NULL"}, 6},
      {"TIME", {"'23:59:59.999'", "'00:00:00'"}, 3},
      {"DATE", {"'2024-03-05'"}, 0},
      {"DATETIME", {"2460000.5"}, -1},  // a Julian day: unknown
  };
  TestDatabase database = TestDatabase::Sqlite();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string table = "t" + std::to_string(i);
    std::string script = "CREATE TABLE " + table + " (c " + cases[i].declared_type + ");";
    for (const std::string& literal : cases[i].literals) script += "INSERT INTO " + table + " VALUES (" + literal + ");";
    RunScript(database, script);
  }
  auto connection = OpenSource(database);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    auto dataset = connection->OpenTable("t" + std::to_string(i));
    EXPECT_EQ(dataset->FieldAt(0).FractionDigits(), cases[i].fraction_digits)
        << cases[i].declared_type << " " << cases[i].literals[0];
  }
}

// Text keys that start with the same digits stay apart.
TEST(SqliteValues, TextKeysInAnIntegerTypedColumnStayDistinct) {
  TestDatabase database = TestDatabase::Sqlite();
  RunScript(database,
            "CREATE TABLE places (code INTEGER_OR_TEXT PRIMARY KEY, name TEXT);"
            "INSERT INTO places VALUES ('106011_Paris', 'Paris'), ('106011_Greenwich', 'Greenwich'), (106011, 'n');");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("places");
  std::vector<std::string> codes;
  for (; !dataset->Eof(); dataset->Next()) codes.push_back(dataset->FieldAt(0).AsString());
  EXPECT_EQ(codes, (std::vector<std::string>{"106011_Paris", "106011_Greenwich", "106011"}));
  SchemaRestrictions restrictions;
  restrictions.table = "places";
  auto keys = connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions);
  ASSERT_FALSE(keys->Eof());
  EXPECT_EQ(keys->FindField("COLUMN_NAME")->AsString(), "code");
}

// SQLite lets a primary key's columns hold NULL; no other engine does, so
// such a key is left out (with a note for the log) and the rows are kept.
TEST(SqliteValues, AKeyHoldingNullIsLeftOutWithANote) {
  TestDatabase database = TestDatabase::Sqlite();
  RunScript(database,
            "CREATE TABLE whole (a TEXT, b INTEGER, PRIMARY KEY (a, b));"
            "INSERT INTO whole VALUES ('x', 1), ('x', 2);"
            "CREATE TABLE first_null (a TEXT, b INTEGER, PRIMARY KEY (a, b));"
            "INSERT INTO first_null VALUES ('x', 1), (NULL, 2);"
            "CREATE TABLE second_null (a TEXT, b INTEGER, PRIMARY KEY (a, b));"
            "INSERT INTO second_null VALUES ('x', NULL);"
            "CREATE TABLE rowid_key (id INTEGER PRIMARY KEY, v TEXT);"
            "INSERT INTO rowid_key VALUES (NULL, 'gets a rowid');");
  const struct {
    std::string table;
    std::vector<std::string> key;
  } cases[] = {
      {"whole", {"a", "b"}},
      {"first_null", {}},
      {"second_null", {}},
      {"rowid_key", {"id"}},
  };
  auto connection = OpenSource(database);
  for (const auto& test : cases) {
    SchemaRestrictions restrictions;
    restrictions.table = test.table;
    auto keys = connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions);
    std::vector<std::string> key;
    for (; !keys->Eof(); keys->Next()) key.push_back(keys->FindField("COLUMN_NAME")->AsString());
    EXPECT_EQ(key, test.key) << test.table;
    EXPECT_EQ(keys->ReadingNotes().size(), test.key.empty() ? 1u : 0u) << test.table;
  }
}

// Names keep their points and their characters beyond ASCII, in the table,
// the columns rowset, the keys and the fields.
TEST(SqliteValues, NamesWithPointsAndBeyondAsciiArriveAsTheyAre) {
  TestDatabase database = TestDatabase::Sqlite();
  RunScript(database,
            "CREATE TABLE \"ca.b\" (\"a.b\" INTEGER, \"ca.b\" TEXT, \"名前😀\" TEXT, \"say \"\"hi\"\"\" TEXT,"
            " PRIMARY KEY (\"ca.b\", \"a.b\"));"
            "INSERT INTO \"ca.b\" VALUES (1, 'x', 'y', 'z');");
  const std::vector<std::string> names = {"a.b", "ca.b", "名前😀", "say \"hi\""};
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("ca.b");
  ASSERT_EQ(dataset->FieldCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dataset->FieldAt(i).Name(), names[i]);
  EXPECT_EQ(dataset->FieldAt(0).AsInteger(), 1);

  SchemaRestrictions restrictions;
  restrictions.table = "ca.b";
  std::vector<std::string> listed;
  for (auto columns = connection->OpenSchema(SchemaKind::Columns, restrictions); !columns->Eof(); columns->Next()) {
    listed.push_back(columns->FindField("COLUMN_NAME")->AsString());
  }
  EXPECT_EQ(listed, names);
  std::vector<std::string> key;
  for (auto keys = connection->OpenSchema(SchemaKind::PrimaryKeys, restrictions); !keys->Eof(); keys->Next()) {
    key.push_back(keys->FindField("COLUMN_NAME")->AsString() + ":" + keys->FindField("KEY_SEQ")->AsString());
  }
  EXPECT_EQ(key, (std::vector<std::string>{"ca.b:1", "a.b:2"}));

  // Callers split a listed name at its point into schema and table.
  SchemaRestrictions split;
  split.schema = "ca";
  split.table = "b";
  EXPECT_FALSE(connection->OpenSchema(SchemaKind::PrimaryKeys, split)->Eof());
  EXPECT_FALSE(connection->OpenSchema(SchemaKind::Tables, split)->Eof());
  split.schema = "main";
  EXPECT_TRUE(connection->OpenSchema(SchemaKind::PrimaryKeys, split)->Eof());
}

TEST(SqliteValues, TablesRowsetSetsSystemTablesAndViewsApart) {
  TestDatabase database = TestDatabase::Sqlite();
  RunScript(database,
            "CREATE TABLE people (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT);"
            "CREATE VIEW adults AS SELECT * FROM people;");
  std::vector<std::string> listed;
  for (auto tables = OpenSource(database)->OpenSchema(SchemaKind::Tables); !tables->Eof(); tables->Next()) {
    listed.push_back(tables->FindField("TABLE_NAME")->AsString() + ":" + tables->FindField("TABLE_TYPE")->AsString());
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"sqlite_sequence:SYSTEM TABLE", "people:TABLE", "adults:VIEW"}));
}

}  // namespace
}  // namespace quill::testing
