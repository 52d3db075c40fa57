// SQLite files as a hostile owner could make them: each table gives its
// rows whole, or a clear error for that table, and the next table of the
// same file is scripted as ever.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator/generator_harness.h"
#include "platform/connection/connection.h"
#include "platform/odbc/odbc_test_support.h"

namespace quill::testing {
namespace {

constexpr int kError = -1;

struct HostileCase {
  std::string name;
  std::string setup;      // SQL run by the sqlite3 shell on the file
  std::string table;      // the listed table to script
  int rows;               // the rows it must give, or kError for a red line naming it
  std::function<void(TestDatabase&)> after = nullptr;  // a change to the file after the setup
};

// Runs SQL on the file through the library, with the schema writable: what
// the shell refuses to make (an unknown collation, a module not loaded).
void EditSchema(TestDatabase& database, const std::string& sql) {
  database.Disconnect();
  sqlite3* file = nullptr;
  ASSERT_EQ(sqlite3_open(database.DatabaseName().c_str(), &file), SQLITE_OK);
  char* message = nullptr;
  const int result = sqlite3_exec(file, ("PRAGMA writable_schema = ON; " + sql).c_str(), nullptr, nullptr, &message);
  EXPECT_EQ(result, SQLITE_OK) << (message ? message : "");
  sqlite3_free(message);
  sqlite3_close(file);
}

// A WAL file whose last rows are only in its -wal file: the shell that
// wrote them is stopped before any checkpoint.
void LeaveRowsInTheWal(TestDatabase& database) {
  database.Disconnect();
  sqlite3* file = nullptr;
  ASSERT_EQ(sqlite3_open(database.DatabaseName().c_str(), &file), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(file, "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                               "INSERT INTO walled VALUES (4, 'd'), (5, 'e');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  // Still open: its -wal file holds the rows. Copy the file and its -wal
  // file as a crashed writer would leave them.
  const std::string name = database.DatabaseName();
  std::filesystem::copy_file(name, name + ".copy");
  std::filesystem::copy_file(name + "-wal", name + ".copy-wal");
  sqlite3_close(file);
  std::filesystem::rename(name + ".copy", name);
  std::filesystem::rename(name + ".copy-wal", name + "-wal");
  ASSERT_TRUE(std::filesystem::exists(name + "-wal"));
}

bool SaysTable(const std::vector<std::string>& log, const std::string& table) {
  return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
    return line.find("Error") != std::string::npos && line.find(table) != std::string::npos;
  });
}

TEST(SqliteHostileFile, EachTableGivesItsRowsOrAClearErrorAndTheNextTableIsScripted) {
  const std::string long_type(5000, 'T');
  const std::vector<HostileCase> cases = {
      {"unknown collation",
       "CREATE TABLE coll (k TEXT PRIMARY KEY COLLATE NOCASE, v TEXT COLLATE NOCASE);"
       "INSERT INTO coll VALUES ('a', 'x'), ('B', 'y');",
       "coll", 2,
       [](TestDatabase& d) {
         EditSchema(d, "UPDATE sqlite_master SET sql = replace(sql, 'NOCASE', 'mycoll') WHERE name = 'coll';");
       }},
      {"index of an unknown collation",
       "CREATE TABLE icoll (k INTEGER PRIMARY KEY, v TEXT); CREATE INDEX icoll_v ON icoll (v COLLATE NOCASE);"
       "INSERT INTO icoll VALUES (1, 'x'), (2, 'y');",
       "icoll", 2,
       [](TestDatabase& d) {
         EditSchema(d, "UPDATE sqlite_master SET sql = replace(sql, 'NOCASE', 'mycoll') WHERE name = 'icoll_v';");
       }},
      {"virtual table of a module not loaded", "CREATE TABLE plain (k INTEGER PRIMARY KEY);", "vt", kError,
       [](TestDatabase& d) {
         EditSchema(d, "INSERT INTO sqlite_master VALUES ('table', 'vt', 'vt', 0, "
                       "'CREATE VIRTUAL TABLE vt USING nosuchmodule(a, b)');");
       }},
      {"view that fails when read",
       "CREATE TABLE base (k INTEGER PRIMARY KEY, v TEXT); INSERT INTO base VALUES (1, 'x');"
       "CREATE VIEW failing AS SELECT abs(-9223372036854775807 - 1) AS v FROM base;"
       "CREATE VIEW dangling AS SELECT * FROM gone;",
       "base", 1},
      {"generated columns",
       "CREATE TABLE gen (a INTEGER PRIMARY KEY, b TEXT GENERATED ALWAYS AS (printf('%d', a * 2)) VIRTUAL, "
       "c TEXT AS (upper('n' || a)) STORED, d TEXT AS (json_array(a, 'x')) VIRTUAL);"
       "INSERT INTO gen (a) VALUES (1), (2), (3);",
       "gen", 3},
      {"WITHOUT ROWID",
       "CREATE TABLE wr (a TEXT, b INTEGER, c BLOB, PRIMARY KEY (b, a)) WITHOUT ROWID;"
       "INSERT INTO wr VALUES ('x', 1, x'00ff'), ('y', 1, NULL), ('x', 2, x'');",
       "wr", 3},
      {"STRICT",
       "CREATE TABLE st (a INTEGER PRIMARY KEY, b TEXT, c REAL, d BLOB, e ANY) STRICT;"
       "INSERT INTO st VALUES (1, 'x', 1.5, x'00', 'any'), (2, NULL, NULL, NULL, 3);",
       "st", 2},
      {"AUTOINCREMENT and its sqlite_sequence",
       "CREATE TABLE seq (id INTEGER PRIMARY KEY AUTOINCREMENT, v TEXT); INSERT INTO seq (v) VALUES ('a'), ('b');",
       "seq", 2},
      {"statistics in sqlite_stat1",
       "CREATE TABLE stats (id INTEGER PRIMARY KEY, v TEXT); CREATE INDEX stats_v ON stats (v);"
       "INSERT INTO stats VALUES (1, 'a'), (2, 'b'); ANALYZE; INSERT INTO sqlite_stat1 VALUES ('stats', 'stats_v', "
       "'not numbers at all');",
       "stats", 2},
      {"triggers",
       "CREATE TABLE trig (id INTEGER PRIMARY KEY, v TEXT); CREATE TABLE other (x);"
       "CREATE TRIGGER trig_t AFTER INSERT ON trig BEGIN DELETE FROM other; END;"
       "CREATE TRIGGER trig_u BEFORE UPDATE ON trig BEGIN SELECT RAISE(ABORT, 'no'); END;"
       "INSERT INTO trig VALUES (1, 'a');",
       "trig", 1},
      {"rows still in the -wal file",
       "CREATE TABLE walled (id INTEGER PRIMARY KEY, v TEXT); INSERT INTO walled VALUES (1, 'a'), (2, 'b'), (3, 'c');",
       "walled", 5, LeaveRowsInTheWal},
      {"huge declared types",
       "CREATE TABLE huge (id INTEGER PRIMARY KEY, a VARCHAR(99999999999999999999), b DECIMAL(99999999999, -5), "
       "c CHAR(0), d NUMERIC(1000, 999), e \"" + long_type + "\", f VARCHAR(-3), g DATETIME(99999999999));"
       "INSERT INTO huge VALUES (1, 'text', 12.5, 'c', 3.25, 'long', 'f', '2020-01-01 10:00:00');",
       "huge", 1},
      {"names with line breaks and quotes",
       "CREATE TABLE \"line\nbreak 'q' \"\"d\"\" `b` [s]\" (\"col\r\n'\"\"\" TEXT, \"k;--\" INTEGER PRIMARY KEY);"
       "INSERT INTO \"line\nbreak 'q' \"\"d\"\" `b` [s]\" VALUES ('v', 1);",
       "line\nbreak 'q' \"d\" `b` [s]", 1},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE("file with " + c.name);
    TestDatabase source = TestDatabase::Sqlite();
    const ScriptRun created =
        RunSqliteScript(source, c.setup + "CREATE TABLE ok (id INTEGER PRIMARY KEY, v TEXT); INSERT INTO ok VALUES (7, 'z');");
    ASSERT_TRUE(created.succeeded) << created.output;
    if (c.after) c.after(source);

    GeneratorHarness hostile;
    hostile.settings.format = TargetDialect::PostgreSql;
    hostile.generator.GenerateScript(source.Dsn(), c.table);
    const std::vector<std::string> log = hostile.ui.LogTexts();
    if (c.rows == kError) {
      EXPECT_TRUE(SaysTable(log, c.table)) << ::testing::PrintToString(log);
    } else {
      ASSERT_EQ(hostile.ui.tabs().size(), 1u) << ::testing::PrintToString(log);
      const std::string script = hostile.ScriptText();
      EXPECT_FALSE(SaysTable(log, c.table)) << ::testing::PrintToString(log);
      TestDatabase target = TestDatabase::Postgres();
      const ScriptRun load = RunPsqlScript(target, script);
      ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
      const std::vector<QueryRow> count = target.Query("SELECT count(*) FROM " + target.Quote(c.table));
      ASSERT_EQ(count.size(), 1u);
      EXPECT_EQ(count[0].at(0), std::to_string(c.rows)) << script;
    }
    // The file's other tables are listed and scripted as ever.
    auto connection = OpenSource(source);
    std::vector<std::string> listed;
    for (auto tables = connection->OpenSchema(SchemaKind::Tables); !tables->Eof(); tables->Next()) {
      listed.push_back(tables->FindField("TABLE_NAME")->AsString());
    }
    EXPECT_NE(std::find(listed.begin(), listed.end(), "ok"), listed.end()) << ::testing::PrintToString(listed);
    GeneratorHarness next;
    next.settings.format = TargetDialect::PostgreSql;
    next.generator.GenerateScript(source.Dsn(), "ok");
    ASSERT_EQ(next.ui.tabs().size(), 1u) << ::testing::PrintToString(next.ui.LogTexts());
    EXPECT_NE(next.ScriptText().find("'z'"), std::string::npos) << next.ScriptText();
  }
}

}  // namespace
}  // namespace quill::testing
