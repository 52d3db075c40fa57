// A table read in several statements (MariaDB's key pages, and on every
// server the statement run again for a value that outgrew its buffer) sees
// one state of the table: changes that another session makes between two
// statements neither duplicate nor lose a row, and ALTER TABLE cannot get
// in until the table is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/odbc_session.h"
#include "fixtures/test_servers.h"
#include "generator/generator_harness.h"
#include "odbc_test_support.h"
#include "platform/dataset/data_access_error.h"

namespace quill::testing {
namespace {

// Rows enough for several key pages and for more than one block of bound
// rows; one long value far into the table makes the reader run its
// statement again from the start once the changes are made.
constexpr int kRows = 20000;
constexpr int kLongValueRow = 15000;

struct Change {
  std::string statement;
  bool goes_through;  // whether the other session may change the table during the read
};

// Executes each change in the other session; a change that must wait for the
// reader fails after a second.
void MakeChanges(TestDatabase& other, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    SCOPED_TRACE(change.statement);
    bool went_through = true;
    try {
      other.Execute(change.statement);
    } catch (const std::runtime_error&) {
      went_through = false;
    }
    EXPECT_EQ(went_through, change.goes_through);
  }
}

// Reads a few rows, lets the other session change the table, reads the rest;
// returns the k of every row read.
std::vector<std::string> ReadAcrossChanges(TestDatabase& database, const std::string& listed_name,
                                           const std::vector<Change>& changes) {
  auto connection = OpenSource(database);
  auto table = connection->OpenTable(listed_name);
  std::vector<std::string> read;
  for (int i = 0; i < 10 && !table->Eof(); ++i, table->Next()) read.push_back(table->FindField("k")->AsString());
  MakeChanges(database, changes);
  EXPECT_EQ(table->FieldCount(), 3);
  for (; !table->Eof(); table->Next()) read.push_back(table->FindField("k")->AsString());
  return read;
}

// A data-only run over the chosen tables, messages only logged.
void RunOverTables(GeneratorHarness& harness, const TestDatabase& database, TargetDialect dialect,
                   const std::vector<std::string>& tables, bool debug_mode) {
  harness.settings.format = dialect;
  harness.settings.content = ContentMode::DataOnly;
  harness.settings.debug_mode = debug_mode;
  harness.settings.disable_warn = true;
  harness.ui.AnswerTableSelection(tables);
  harness.generator.GenerateScript(database.Dsn(), "");
}

bool Logged(const GeneratorHarness& harness, const std::string& text) {
  const std::vector<std::string> log = harness.ui.LogTexts();
  return std::any_of(log.begin(), log.end(),
                     [&text](const std::string& line) { return line.find(text) != std::string::npos; });
}

std::vector<std::string> AllK() {
  std::vector<std::string> k;
  for (int i = 1; i <= kRows; ++i) k.push_back(std::to_string(i));
  return k;
}

// The key's SQL type and its value for a number (an SQL expression): keys
// of every kind compare as their numbers do.
struct KeyKind {
  std::string name;
  std::string type;
  std::function<std::string(const std::string&)> value;
};

TEST(OdbcTableSnapshot, MariaDbPagesSeeOneStateOfTheTable) {
  const KeyKind int_key = {"int", "INT", [](const std::string& n) { return n; }};
  const KeyKind binary_key = {"binary", "VARBINARY(16)",
                              [](const std::string& n) { return "UNHEX(LPAD(HEX(" + n + "), 16, '0'))"; }};
  const KeyKind text_key = {"text", "VARCHAR(20) CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci",
                            [](const std::string& n) { return "LPAD(" + n + ", 10, '0')"; }};
  struct EngineCase {
    std::string engine;
    KeyKind key;
  };
  const std::vector<EngineCase> cases = {
      {"InnoDB", int_key}, {"InnoDB", binary_key}, {"InnoDB", text_key}, {"MyISAM", int_key}, {"Aria", binary_key},
  };
  for (const EngineCase& c : cases) {
    SCOPED_TRACE(c.engine + " " + c.key.name);
    const auto& key = c.key.value;
    // Engines without row versions keep every writer out until the table is read.
    const bool versions = c.engine == "InnoDB";
    const std::vector<Change> changes = {
        // A row read already moves past the rest; one not read yet before the first.
        {"UPDATE t SET id = " + key("1000000") + " WHERE id = " + key("50"), versions},
        {"UPDATE t SET id = " + key("5") + " WHERE id = " + key("190000"), versions},
        {"INSERT INTO t VALUES (" + key("55555") + ", 0, 'new')", versions},
        {"DELETE FROM t WHERE id = " + key("100010"), versions},
        {"ALTER TABLE t ADD COLUMN z INT FIRST", false},
    };
    TestDatabase database = TestDatabase::MariaDb();
    database.Execute("CREATE TABLE t (id " + c.key.type + " PRIMARY KEY, k INT NOT NULL, memo TEXT) ENGINE=" +
                     c.engine);
    database.Execute("INSERT INTO t SELECT " + key("seq * 10") + ", seq, IF(seq = " + std::to_string(kLongValueRow) +
                     ", REPEAT('x', 5000), 'm') FROM seq_1_to_" + std::to_string(kRows));
    database.Execute("SET SESSION lock_wait_timeout = 1");
    EXPECT_EQ(ReadAcrossChanges(database, "t", changes), AllK());
    // The table is let go once read.
    EXPECT_NO_THROW(database.Execute("ALTER TABLE t ADD COLUMN z INT FIRST"));
    EXPECT_NO_THROW(database.Execute("DELETE FROM t WHERE id = " + key("10")));
  }
}

// psqlodbc reads through a cursor; a value longer than its first buffer
// makes the dataset run the statement again and skip the rows it gave
// already, which must be the same rows.
TEST(OdbcTableSnapshot, PostgresReadAgainSeesTheStateOfTheFirstRead) {
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("CREATE TABLE t (id INT PRIMARY KEY, k INT NOT NULL, memo TEXT)");
  database.Execute("INSERT INTO t SELECT n * 10, n, CASE WHEN n = " + std::to_string(kLongValueRow) +
                   " THEN repeat('x', 5000) ELSE 'm' END FROM generate_series(1, " + std::to_string(kRows) + ") AS n");
  database.Execute("SET lock_timeout = '1s'");
  const std::vector<Change> changes = {
      {"DELETE FROM t WHERE id = 50", true},
      {"UPDATE t SET k = -k WHERE id = 100", true},
      {"INSERT INTO t VALUES (-1, 0, 'new')", true},
      {"ALTER TABLE t ADD COLUMN z INT", false},
  };
  std::vector<std::string> read = ReadAcrossChanges(database, "public.t", changes);
  std::vector<std::string> expected = AllK();
  std::sort(read.begin(), read.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(read, expected);
  EXPECT_NO_THROW(database.Execute("ALTER TABLE t ADD COLUMN z INT"));
}

// A login without the LOCK TABLES privilege reads a MyISAM table with one
// statement. Run again for a long value after an ALTER TABLE, that statement
// gives other columns: the table fails with a clear error, never with its
// columns shifted.
TEST(OdbcTableSnapshot, ATableAlteredBetweenTwoStatementsFailsClearly) {
  TestDatabase database = TestDatabase::MariaDb();
  database.Execute("CREATE TABLE t (id INT PRIMARY KEY, k INT NOT NULL, memo TEXT) ENGINE=MyISAM");
  database.Execute("INSERT INTO t SELECT seq * 10, seq, IF(seq = " + std::to_string(kLongValueRow) +
                   ", REPEAT('x', 5000), 'm') FROM seq_1_to_" + std::to_string(kRows));
  const TestServers& servers = RunningTestServers();
  OdbcSession admin("DRIVER={" + std::string(kMariaDbDriver) + "};SERVER=localhost;SOCKET=" + servers.mariadb_socket +
                    ";UID=" + servers.mariadb_admin_user + ";PWD=;");
  const std::string user = "nolock_" + database.DatabaseName().substr(database.DatabaseName().size() - 6);
  admin.Execute("CREATE USER '" + user + "'@'%' IDENTIFIED BY 'pw'");
  admin.Execute("GRANT SELECT ON `" + database.DatabaseName() + "`.* TO '" + user + "'@'%'");
  const std::string dsn = database.Dsn() + " reader";
  RegisterSystemDsn(dsn, kMariaDbDriver,
                    {{"SERVER", "127.0.0.1"}, {"PORT", std::to_string(servers.mariadb_port)},
                     {"DATABASE", database.DatabaseName()}, {"USER", user}, {"PASSWORD", "pw"}});
  {
    Connection connection;
    connection.SetConnectionString(OdbcConnectionStringFor(dsn));
    connection.Open(user, "pw");
    // Read whole, as it is without changes.
    EXPECT_EQ(ColumnTexts(*connection.OpenTable("t"), "k"), AllK());

    auto table = connection.OpenTable("t");
    for (int i = 0; i < 10; ++i, table->Next()) ASSERT_EQ(table->FindField("k")->AsString(), std::to_string(i + 1));
    database.Execute("ALTER TABLE t ADD COLUMN z INT FIRST");
    try {
      for (int64_t row = 11; !table->Eof(); table->Next(), ++row) {
        ASSERT_EQ(table->FindField("k")->AsString(), std::to_string(row));
      }
      ADD_FAILURE() << "the table was read to its end";
    } catch (const DataAccessError& error) {
      EXPECT_NE(std::string(error.what()).find("changed while it was read"), std::string::npos) << error.what();
    }
  }
  RemoveSystemDsn(dsn);
  admin.Execute("DROP USER '" + user + "'@'%'");
}

// A PostgreSQL transaction refuses every statement after one that failed:
// a table the login may not read fails alone, while the table before it is
// still open (debug mode leaves it before its end) and the tables after it
// are read in a transaction of their own.
TEST(OdbcTableSnapshot, APostgresTableThatCannotBeReadFailsAlone) {
  TestDatabase database = TestDatabase::Postgres();
  for (const std::string table : {"a", "c"}) {
    database.Execute("CREATE TABLE " + table + " (id INT PRIMARY KEY, k INT)");
    database.Execute("INSERT INTO " + table + " SELECT n, n FROM generate_series(1, 50) AS n");
  }
  const TestServers& servers = RunningTestServers();
  OdbcSession admin("DRIVER={" + std::string(kPostgresDriver) + "};Servername=" + servers.postgres_socket_folder +
                    ";Port=" + std::to_string(servers.postgres_port) + ";Database=" + database.DatabaseName() +
                    ";Username=" + servers.postgres_admin_user);
  admin.Execute("CREATE TABLE b (id INT PRIMARY KEY, k INT)");
  admin.Execute("REVOKE ALL ON b FROM PUBLIC");
  for (const bool debug_mode : {true, false}) {
    SCOPED_TRACE(debug_mode ? "debug mode" : "every row");
    GeneratorHarness harness;
    RunOverTables(harness, database, TargetDialect::PostgreSql, {"public.a", "public.b", "public.c"}, debug_mode);
    EXPECT_TRUE(Logged(harness, "Table : public.a - OK"));
    EXPECT_TRUE(Logged(harness, "Error with table : public.b : ") && Logged(harness, "permission denied"));
    EXPECT_TRUE(Logged(harness, "Table : public.c - OK"));
    EXPECT_FALSE(Logged(harness, "current transaction is aborted"));
  }
}

// The generator opens the next table before it lets the last one go, which
// debug mode leaves before its end: a read lock of one table must not keep
// the next from being read, whatever its engine.
TEST(OdbcTableSnapshot, ARunOverTablesOfEveryEngineReadsEachOfThem) {
  TestDatabase database = TestDatabase::MariaDb();
  const std::vector<std::string> tables = {"m1", "i1", "m2", "a1", "i2", "m3"};
  for (const std::string& table : tables) {
    const std::string engine = table[0] == 'm' ? "MyISAM" : table[0] == 'a' ? "Aria" : "InnoDB";
    database.Execute("CREATE TABLE " + table + " (id INT PRIMARY KEY, k INT) ENGINE=" + engine);
    database.Execute("INSERT INTO " + table + " SELECT seq, seq FROM seq_1_to_200");
  }
  for (const bool debug_mode : {true, false}) {
    SCOPED_TRACE(debug_mode ? "debug mode" : "every row");
    GeneratorHarness harness;
    RunOverTables(harness, database, TargetDialect::MySql, tables, debug_mode);
    for (const std::string& table : tables) EXPECT_TRUE(Logged(harness, "Table : " + table + " - OK")) << table;
    const std::vector<std::string> script = harness.Script();
    EXPECT_EQ(std::count_if(script.begin(), script.end(),
                            [](const std::string& item) { return item.find("INSERT INTO") != std::string::npos; }),
              static_cast<long>(tables.size()) * (debug_mode ? 5 : 200));
  }
  // Every table is let go.
  database.Execute("SET SESSION lock_wait_timeout = 1");
  for (const std::string& table : tables) EXPECT_NO_THROW(database.Execute("DELETE FROM " + table));
}

}  // namespace
}  // namespace quill::testing
