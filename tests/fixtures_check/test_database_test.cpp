#include "fixtures/test_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fixtures/odbc_configuration.h"
#include "fixtures/odbc_session.h"

namespace quill::testing {
namespace {

struct EngineCase {
  const char* title;
  TestDatabase (*make)(const DsnOptions&);
  const char* key_type;
  const char* text_type;
};

const EngineCase kEngines[] = {
    {"SQLite", &TestDatabase::Sqlite, "INTEGER", "TEXT"},
    {"PostgreSQL", &TestDatabase::Postgres, "integer", "text"},
    {"MariaDB", &TestDatabase::MariaDb, "INT", "VARCHAR(100)"},
};

void PrintTo(const EngineCase& test_case, std::ostream* out) { *out << test_case.title; }

class TestDatabaseTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(TestDatabaseTest, TableWithBlankInNameReadsBackQuotesNonAsciiAndNull) {
  TestDatabase db = GetParam().make(DsnOptions());
  db.CreateTable({"people list",
                  {{"id", GetParam().key_type}, {"full name", GetParam().text_type}},
                  {"id"},
                  {{"1", "'O''Brien \"Jr\"'"}, {"2", "'Zoë Ångström 日本 😀'"}, {"3", "NULL"}}});
  const std::vector<QueryRow> rows =
      db.Query("SELECT " + db.Quote("id") + ", " + db.Quote("full name") + " FROM " + db.Quote("people list") +
               " ORDER BY " + db.Quote("id"));
  const std::vector<QueryRow> expected = {
      {"1", "O'Brien \"Jr\""}, {"2", "Zoë Ångström 日本 😀"}, {"3", std::nullopt}};
  EXPECT_EQ(rows, expected);
}

TEST_P(TestDatabaseTest, PrimaryKeyIsEnforcedAndRefusedStatementThrows) {
  TestDatabase db = GetParam().make(DsnOptions());
  db.CreateTable({"pairs",
                  {{"a", GetParam().key_type}, {"b", GetParam().key_type}, {"note", GetParam().text_type}},
                  {"a", "b"},
                  {{"1", "1", "'x'"}, {"1", "2", "'y'"}}});
  EXPECT_THROW(db.Execute("INSERT INTO pairs VALUES (1, 2, 'again')"), std::runtime_error);
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM pairs"), (std::vector<QueryRow>{{"2"}}));
}

TEST_P(TestDatabaseTest, DsnWithBlanksIsRegisteredInThePrivateConfiguration) {
  TestDatabase db = GetParam().make(DsnOptions().WithName(std::string("My ") + GetParam().title + " Source"));
  std::ifstream odbc_ini(OdbcConfigurationFolder() + "/odbc.ini");
  std::stringstream text;
  text << odbc_ini.rdbuf();
  EXPECT_NE(text.str().find("[My " + std::string(GetParam().title) + " Source]"), std::string::npos) << text.str();
  // A connection by the DSN alone reaches the fresh database.
  OdbcSession session("DSN=" + db.Dsn());
  session.Execute("CREATE TABLE t (x INTEGER)");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM t"), (std::vector<QueryRow>{{"0"}}));
}

TEST_P(TestDatabaseTest, RowWithWrongNumberOfValuesIsRefused) {
  TestDatabase db = GetParam().make(DsnOptions());
  EXPECT_THROW(db.CreateTable({"t", {{"a", GetParam().key_type}, {"b", GetParam().key_type}}, {}, {{"1"}}}),
               std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(Engines, TestDatabaseTest, ::testing::ValuesIn(kEngines),
                         [](const auto& info) { return std::string(info.param.title); });

TEST(TestDatabaseServerTest, ServerLoginNeedsTheRightPassword) {
  std::vector<TestDatabase> databases;
  databases.push_back(TestDatabase::Postgres(DsnOptions().WithoutLogin()));
  databases.push_back(TestDatabase::MariaDb(DsnOptions().WithoutLogin()));
  for (const TestDatabase& db : databases) {
    EXPECT_THROW(OdbcSession("DSN=" + db.Dsn()), std::runtime_error);
    EXPECT_NO_THROW(OdbcSession("DSN=" + db.Dsn() + ";UID=" + db.User() + ";PWD=" + db.Password()));
    EXPECT_THROW(OdbcSession("DSN=" + db.Dsn() + ";UID=" + db.User() + ";PWD=wrong"), std::runtime_error);
  }
}

TEST(TestDatabaseServerTest, PostgresSecondSchemaHoldsItsOwnTable) {
  TestDatabase db = TestDatabase::Postgres();
  db.CreateSchema("Second Schema");
  db.CreateTable({"items", {{"id", "integer"}}, {"id"}, {{"7"}}, "Second Schema"});
  db.CreateTable({"items", {{"id", "integer"}}, {"id"}, {{"1"}}});
  EXPECT_EQ(db.Query("SELECT id FROM " + db.QualifiedName("items", "Second Schema")),
            (std::vector<QueryRow>{{"7"}}));
  EXPECT_EQ(db.Query("SELECT id FROM items"), (std::vector<QueryRow>{{"1"}}));
}

TEST(TestDatabaseServerTest, DatabasesAreRemovedAtTheEnd) {
  TestDatabase witness_pg = TestDatabase::Postgres();
  TestDatabase witness_maria = TestDatabase::MariaDb();
  std::string pg_name, maria_name, sqlite_path;
  std::unique_ptr<OdbcSession> left_open;
  {
    TestDatabase pg = TestDatabase::Postgres();
    pg.CreateTable({"t", {{"id", "integer"}}, {"id"}, {{"1"}}});
    // A session left open by the code under test must not keep the database.
    left_open = std::make_unique<OdbcSession>(pg.ConnectionString());
    pg_name = pg.DatabaseName();
    TestDatabase maria = TestDatabase::MariaDb();
    maria_name = maria.DatabaseName();
    TestDatabase sqlite = TestDatabase::Sqlite();
    sqlite_path = sqlite.DatabaseName();
    ASSERT_TRUE(std::filesystem::exists(sqlite_path));
    EXPECT_EQ(witness_pg.Query("SELECT COUNT(*) FROM pg_database WHERE datname = '" + pg_name + "'"),
              (std::vector<QueryRow>{{"1"}}));
  }
  EXPECT_EQ(witness_pg.Query("SELECT COUNT(*) FROM pg_database WHERE datname = '" + pg_name + "'"),
            (std::vector<QueryRow>{{"0"}}));
  EXPECT_EQ(witness_maria.Query("SELECT COUNT(*) FROM information_schema.schemata WHERE schema_name = '" +
                                maria_name + "'"),
            (std::vector<QueryRow>{{"0"}}));
  EXPECT_FALSE(std::filesystem::exists(sqlite_path));
}

TEST(TestDatabaseLifetimeTest, AssigningANewDatabaseRemovesTheOldOne) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::string first_path = db.DatabaseName();
  db = TestDatabase::Sqlite();
  EXPECT_FALSE(std::filesystem::exists(first_path));
  EXPECT_TRUE(std::filesystem::exists(db.DatabaseName()));
}

}  // namespace
}  // namespace quill::testing
