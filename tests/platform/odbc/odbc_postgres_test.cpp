// The ODBC provider over psqlodbc (Unicode driver): a source with schemas.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "platform/dataset/data_access_error.h"
#include "odbc_test_support.h"

namespace quill::testing {
namespace {

TEST(OdbcPostgres, FieldClassesThroughTheWideApi) {
  TestDatabase database = TestDatabase::Postgres({.name = "", .bools_as_char = false});
  ExpectFieldClasses(database, "typed", "public.typed", {
                                   {"VARCHAR(20)", "TWideStringField", FieldKind::ftWideString},
                                   {"CHAR(3)", "TWideStringField", FieldKind::ftWideString},
                                   {"TEXT", "TMemoField", FieldKind::ftMemo},
                                   {"SMALLINT", "TSmallintField", FieldKind::ftSmallint},
                                   {"INTEGER", "TIntegerField", FieldKind::ftInteger},
                                   {"BIGINT", "TLargeintField", FieldKind::ftLargeint},
                                   {"BOOLEAN", "TBooleanField", FieldKind::ftBoolean},
                                   {"REAL", "TFloatField", FieldKind::ftFloat},
                                   {"DOUBLE PRECISION", "TFloatField", FieldKind::ftFloat},
                                   {"NUMERIC(10,2)", "TBCDField", FieldKind::ftBCD},
                                   {"DATE", "TDateField", FieldKind::ftDate},
                                   {"TIME", "TTimeField", FieldKind::ftTime},
                                   {"TIMESTAMP", "TDateTimeField", FieldKind::ftDateTime},
                                   {"BYTEA", "TBlobField", FieldKind::ftBlob},
                                   {"UUID", "TGuidField", FieldKind::ftGuid},
                                   {"MONEY", "TBCDField", FieldKind::ftCurrency},
                               });
}

TEST(OdbcPostgres, ValuesOfEveryForm) {
  TestDatabase database = TestDatabase::Postgres({.name = "", .bools_as_char = false});
  database.CreateTable({"v",
                        {{"n", "NUMERIC(12,3)"},
                         {"price", "MONEY"},
                         {"b", "BOOLEAN"},
                         {"g", "UUID"},
                         {"t", "TIME(3)"},
                         {"m", "TIMESTAMP(6)"},
                         {"f4", "REAL"},
                         {"data", "BYTEA"}},
                        {},
                        {{"-123456789.125", "'-1234.5'", "TRUE", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'", "'12:34:56.789'",
                          "'0099-12-31 23:59:59.123456'", "1.5", "'\\x00ff10'::bytea"},
                         {"NULL", "NULL", "FALSE", "NULL", "NULL", "NULL", "NULL", "NULL"}},
                        ""});
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("public.v");
  EXPECT_EQ(dataset->FindField("n")->RawText(), "-123456789.125");
  EXPECT_EQ(dataset->FindField("price")->AsFloat(), -1234.5);
  EXPECT_EQ(dataset->FindField("price")->AsString(), "-1234.50");  // exactly, as a decimal
  EXPECT_TRUE(dataset->FindField("b")->AsBoolean());
  EXPECT_EQ(dataset->FindField("g")->AsString(), "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}");
  const DateTime time = dataset->FindField("t")->AsDateTime();
  EXPECT_EQ((std::vector<int>{time.hour, time.minute, time.second, time.nanosecond}),
            (std::vector<int>{12, 34, 56, 789000000}));
  EXPECT_EQ(dataset->FindField("m")->AsDateTime(), (DateTime{99, 12, 31, 23, 59, 59, 123456000}));
  EXPECT_EQ(dataset->FindField("f4")->AsFloat(), 1.5);
  EXPECT_EQ(dataset->FindField("data")->RawText(), std::string("\x00\xff\x10", 3));
  dataset->Next();
  EXPECT_TRUE(dataset->FindField("n")->IsNull());
  EXPECT_FALSE(dataset->FindField("b")->AsBoolean());
  EXPECT_FALSE(dataset->FindField("b")->IsNull());
  EXPECT_TRUE(dataset->FindField("data")->IsNull());
}

// The sessions the server counts for the test database (its own pending
// count flushed first).
long ServerSessions(TestDatabase& database) {
  database.Execute("SELECT pg_catalog.pg_stat_force_next_flush()");
  database.Execute("SELECT 1");
  return std::stol(database.Query("SELECT sessions FROM pg_catalog.pg_stat_database WHERE datname = "
                                  "pg_catalog.current_database()")
                       .at(0)
                       .at(0)
                       .value_or("-1"));
}

// Other sessions of the test database; polled until the closed ones have
// gone (their counts are flushed as they go), for at most a few seconds.
void AwaitOtherSessionsGone(TestDatabase& database) {
  for (int poll = 0; poll < 100; ++poll) {
    if (database.Query("SELECT count(*) FROM pg_catalog.pg_stat_activity WHERE datname = "
                       "pg_catalog.current_database() AND pid <> pg_catalog.pg_backend_pid()")
            .at(0)
            .at(0) == std::optional<std::string>("0")) {
      return;
    }
    usleep(50000);
  }
}

// A connection logs in once, with the option that has psqlodbc read a
// table through a cursor in blocks already in force: whether the DSN holds
// the login or the program gives it.
TEST(OdbcPostgres, OneLoginReadsThroughACursor) {
  struct Case {
    std::string name;
    bool login_in_dsn;
  };
  const std::vector<Case> cases = {{"login in the DSN", true}, {"login given", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DsnOptions options;
    if (!c.login_in_dsn) options.WithoutLogin();
    TestDatabase database = TestDatabase::Postgres(options);
    database.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY)");
    database.Execute("INSERT INTO t SELECT n FROM generate_series(1, 5000) AS n");
    const long before = ServerSessions(database);
    {
      auto connection = OpenSource(database);
      auto table = connection->OpenTable("public.t");
      ASSERT_FALSE(table->Eof());
      const std::vector<QueryRow> reader = database.Query(
          "SELECT query FROM pg_catalog.pg_stat_activity WHERE datname = pg_catalog.current_database() AND pid <> "
          "pg_catalog.pg_backend_pid()");
      ASSERT_EQ(reader.size(), 1u);
      std::string query = reader.at(0).at(0).value_or("");
      std::transform(query.begin(), query.end(), query.begin(), [](unsigned char ch) { return std::tolower(ch); });
      // psqlodbc's cursors are its own "SQL_CUR..." ones.
      EXPECT_NE(query.find("sql_cur"), std::string::npos) << query;
    }
    AwaitOtherSessionsGone(database);
    EXPECT_EQ(ServerSessions(database) - before, 1);
  }
}

// time(6) keeps its fraction (a time structure has none); 24:00:00 is a
// time of its own there.
TEST(OdbcPostgres, TimesKeepTheirFractions) {
  struct Case {
    std::string literal;
    std::vector<int> expected;  // hour, minute, second, nanosecond
  };
  const std::vector<Case> cases = {
      {"'23:59:59.999999'", {23, 59, 59, 999999000}},
      {"'00:00:00.000001'", {0, 0, 0, 1000}},
      {"'12:00:00'", {12, 0, 0, 0}},
      {"'24:00:00'", {24, 0, 0, 0}},
  };
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TABLE times (id INTEGER PRIMARY KEY, t TIME(6))");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    database.Execute("INSERT INTO times VALUES (" + std::to_string(i) + ", " + cases[i].literal + ")");
  }
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("public.times");
  EXPECT_EQ(dataset->FindField("t")->ClassName(), "TTimeField");
  std::size_t row = 0;
  for (; !dataset->Eof(); dataset->Next(), ++row) {
    ASSERT_LT(row, cases.size());
    const DateTime time = dataset->FindField("t")->AsDateTime();
    EXPECT_EQ((std::vector<int>{time.hour, time.minute, time.second, time.nanosecond}), cases[row].expected)
        << cases[row].literal;
    EXPECT_FALSE(time.negative);
  }
  EXPECT_EQ(row, cases.size());
}

// Two schemas holding tables of the same name, one with a blank in its name.
TEST(OdbcPostgres, SchemasTablesWithBlanksAndRestrictions) {
  TestDatabase database = TestDatabase::Postgres();
  database.CreateSchema("sales");
  database.CreateTable({"orders", {{"id", "INTEGER"}, {"note", "TEXT"}}, {"id"}, {{"1", "'public one'"}}, ""});
  database.CreateTable({"orders", {{"code", "INTEGER"}, {"line", "INTEGER"}}, {"code", "line"}, {{"7", "8"}}, "sales"});
  database.CreateTable({"order lines", {{"k", "INTEGER"}}, {}, {{"3"}}, "sales"});
  database.Execute("CREATE VIEW sales.big_orders AS SELECT * FROM sales.orders");
  auto connection = OpenSource(database);

  std::vector<std::string> listed;
  for (auto tables = connection->OpenSchema(SchemaKind::Tables); !tables->Eof(); tables->Next()) {
    listed.push_back(tables->FindField("TABLE_SCHEMA")->AsString() + "." + tables->FindField("TABLE_NAME")->AsString() +
                     ":" + tables->FindField("TABLE_TYPE")->AsString());
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"public.orders:TABLE", "sales.big_orders:VIEW",
                                              "sales.order lines:TABLE", "sales.orders:TABLE"}));

  EXPECT_EQ(connection->OpenTable("sales.order lines")->FieldAt(0).AsInteger(), 3);
  EXPECT_EQ(connection->OpenTable("public.orders")->FindField("note")->AsString(), "public one");
  EXPECT_EQ(connection->OpenTable("[sales.orders]")->FindField("code")->AsInteger(), 7);

  SchemaRestrictions sales_orders{std::nullopt, "sales", "orders"};
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, sales_orders), "COLUMN_NAME"),
            (std::vector<std::string>{"code", "line"}));
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, sales_orders), "COLUMN_NAME"),
            (std::vector<std::string>{"code", "line"}));
  SchemaRestrictions public_orders{std::nullopt, "public", "orders"};
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::PrimaryKeys, public_orders), "COLUMN_NAME"),
            (std::vector<std::string>{"id"}));
  SchemaRestrictions blank{std::nullopt, "sales", "order lines"};
  EXPECT_EQ(ColumnTexts(*connection->OpenSchema(SchemaKind::Columns, blank), "COLUMN_NAME"),
            (std::vector<std::string>{"k"}));
}

// A varchar without a length is reported with the driver's default size,
// shorter than the values it may hold.
TEST(OdbcPostgres, UnboundedVarcharArrivesWhole) {
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TABLE t (id INTEGER, s VARCHAR)");
  database.Execute("INSERT INTO t SELECT k, CASE WHEN k = 1700 THEN repeat('y', 5000) ELSE 'v' || k END "
                   "FROM generate_series(1, 2000) AS k");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("t");
  EXPECT_EQ(dataset->RecordCount(), 2000);
  int64_t id = 1;
  for (; !dataset->Eof(); dataset->Next(), ++id) {
    ASSERT_EQ(dataset->FindField("id")->AsInteger(), id);
    ASSERT_EQ(dataset->FindField("s")->AsString(), id == 1700 ? std::string(5000, 'y') : "v" + std::to_string(id));
  }
  EXPECT_EQ(id, 2001);
}

// With a login given, as without, a table is read through a cursor, a block
// of rows at a time, never whole into memory.
TEST(OdbcPostgres, ReadsThroughACursorWithALogin) {
  TestDatabase database = TestDatabase::Postgres(DsnOptions().WithoutLogin());
  database.Execute("CREATE TABLE t AS SELECT k FROM generate_series(1, 50000) AS k");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("public.t");
  const std::vector<QueryRow> queries = database.Query(
      "SELECT lower(query) FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid()");
  ASSERT_EQ(queries.size(), 1u);
  const std::string query = queries[0][0].value_or("");
  EXPECT_NE(query.find("sql_cur"), std::string::npos) << query;
}

// A memo that outgrows its buffer late in a table larger than a quarter of
// the server's buffers: the rows read again must come in the same order,
// though the server would start a new scan of such a table where the last
// one stopped.
TEST(OdbcPostgres, RowsReadAgainComeInTheSameOrder) {
  constexpr int kRows = 400000;
  constexpr int kLongRow = 250000;
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TABLE big AS SELECT k AS id, 'row ' || k || repeat('.', 60) AS label, "
                   "CASE WHEN k = " + std::to_string(kLongRow) + " THEN repeat('x', 1000) ELSE 'short' END AS memo "
                   "FROM generate_series(1, " + std::to_string(kRows) + ") AS k");
  auto connection = OpenSource(database);
  auto dataset = connection->OpenTable("public.big");
  int64_t id = 1;
  for (; !dataset->Eof(); dataset->Next(), ++id) {
    ASSERT_EQ(dataset->FieldAt(0).AsInteger(), id);
    if (id == kLongRow) {
      EXPECT_EQ(dataset->FieldAt(2).AsString(), std::string(1000, 'x'));
    }
  }
  EXPECT_EQ(id, kRows + 1);
}

TEST(OdbcPostgres, TableThatDisappearedGivesTheDriversText) {
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TABLE gone (k INTEGER)");
  auto connection = OpenSource(database);
  database.Execute("DROP TABLE gone");
  try {
    connection->OpenTable("public.gone");
    FAIL() << "opened a dropped table";
  } catch (const DataAccessError& error) {
    EXPECT_NE(std::string(error.what()).find("[42P01]"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("gone"), std::string::npos) << error.what();
  }
  database.Execute("CREATE TABLE back (k INTEGER)");
  EXPECT_TRUE(connection->OpenTable("public.back")->Eof());
}

}  // namespace
}  // namespace quill::testing

namespace quill::testing {
namespace {

// A numeric column without a precision is as wide as its values need: the
// most digits before the point of any value, the most after it of any, NaN
// and the infinities left out (but told, as only an unsized decimal holds
// them); without a number its size stays unknown.
TEST(OdbcPostgres, UnsizedNumericsAreSizedByTheirValues) {
  struct SizeCase {
    std::string values;  // the column's values, as SQL
    int size;
    int scale;
    bool infinities = false;
  };
  const std::vector<SizeCase> cases = {
      {"(12345.5), (-0.001), (NULL)", 8, 3},
      {"('NaN'), ('Infinity'), ('-Infinity'), (-99.25)", 4, 2, true},
      {"('-Infinity'), (0.5)", 2, 1, true},
      {"('NaN'), (0.5)", 2, 1},
      {"(-0.5), (0.25)", 3, 2},
      {"(0), (-7)", 1, 0},
      {"('-123456789012345678901234567890'), (0.1)", 31, 1},
      {"('NaN'), ('-Infinity'), (NULL)", 0, -1},
      {"(NULL)", 0, -1},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.values);
    TestDatabase database = TestDatabase::Postgres();
    database.Execute("CREATE TABLE sized (n NUMERIC)");
    database.Execute("INSERT INTO sized VALUES " + c.values);
    auto connection = OpenSource(database);
    auto dataset = connection->OpenTable("public.sized");
    const Field& field = *dataset->FindField("n");
    EXPECT_EQ(field.ClassName(), "TBCDField");
    EXPECT_EQ(field.Size(), c.size);
    EXPECT_EQ(field.Scale(), c.scale);
    EXPECT_EQ(field.HoldsInfinities(), c.infinities);
  }
}

}  // namespace
}  // namespace quill::testing
