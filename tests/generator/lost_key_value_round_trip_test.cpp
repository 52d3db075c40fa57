// Key values that a target cannot hold as they are (MariaDB zero dates,
// PostgreSQL infinite dates, NaN and infinite numbers) are written NULL, which
// no key holds: such a table is written without its primary key and a red
// line says so, so the real engine loads every row. A key whose values the
// target holds stays a key.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

struct LostKeyCase {
  std::string name;
  Engine source;
  std::string key_type;             // the source's type of the key column
  std::vector<std::string> keys;    // SQL literals of the source, one row each
  TargetDialect dialect;
  int written_null;                 // key values the target cannot hold
};

const std::vector<LostKeyCase> kCases = {
    {"MariaDB zero date to MySql", Engine::MariaDb, "DATE", {"'0000-00-00'", "'2020-02-29'"}, TargetDialect::MySql, 1},
    {"MariaDB zero date to PostgreSQL", Engine::MariaDb, "DATE", {"'0000-00-00'", "'2020-02-29'"},
     TargetDialect::PostgreSql, 1},
    {"MariaDB zero date-time to MySql", Engine::MariaDb, "DATETIME", {"'0000-00-00 00:00:00'", "'1999-12-31 23:59:59'"},
     TargetDialect::MySql, 1},
    {"MariaDB dates the target holds", Engine::MariaDb, "DATE", {"'1000-01-01'", "'9999-12-31'"},
     TargetDialect::PostgreSql, 0},
    {"PostgreSQL infinite date-times to MySql", Engine::Postgres, "timestamp",
     {"'infinity'", "'-infinity'", "'2001-01-01 10:00'"}, TargetDialect::MySql, 2},
    {"PostgreSQL infinite date-times to PostgreSQL", Engine::Postgres, "timestamp",
     {"'infinity'", "'-infinity'", "'2001-01-01 10:00'"}, TargetDialect::PostgreSql, 0},
    {"PostgreSQL decimal NaN to MySql", Engine::Postgres, "numeric", {"'NaN'", "1.5"}, TargetDialect::MySql, 1},
    {"PostgreSQL double infinity to MySql", Engine::Postgres, "double precision", {"'Infinity'", "2.5"},
     TargetDialect::MySql, 1},
};

std::string SourceScript(const LostKeyCase& c) {
  std::string script = "CREATE TABLE keyed (k " + c.key_type + " NOT NULL, n integer, PRIMARY KEY (k));\n";
  for (size_t i = 0; i < c.keys.size(); ++i) {
    script += "INSERT INTO keyed VALUES (" + c.keys[i] + ", " + std::to_string(i) + ");\n";
  }
  return script;
}

std::string PrimaryKeyCountSql(const TestDatabase& target) {
  const std::string schema = target.engine() == Engine::Postgres ? "'public'" : "DATABASE()";
  return "SELECT COUNT(*) FROM information_schema.table_constraints WHERE table_schema = " + schema +
         " AND table_name = 'keyed' AND constraint_type = 'PRIMARY KEY'";
}

TEST(LostKeyValueRoundTrip, EveryRowArrivesAndTheKeyIsLeftOutOnlyForValuesWrittenNull) {
  for (const LostKeyCase& c : kCases) {
    TestDatabase source = c.source == Engine::MariaDb ? TestDatabase::MariaDb() : TestDatabase::Postgres();
    // Zero dates go in as the server's own values, whatever its default mode.
    const ScriptRun created = c.source == Engine::MariaDb
                                  ? RunMariaDbScript(source, SourceScript(c), "SET SESSION sql_mode = ''")
                                  : RunPsqlScript(source, SourceScript(c));
    ASSERT_TRUE(created.succeeded) << c.name << ": " << created.output;

    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.drop = true;
    harness.generator.GenerateScript(source.Dsn(), c.source == Engine::Postgres ? "public.keyed" : "keyed");
    ASSERT_EQ(harness.ui.tabs().size(), 1u) << c.name;
    const std::string generated = harness.ScriptText();

    const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, generated) : RunMariaDbScript(target, generated);
    ASSERT_TRUE(load.succeeded) << c.name << ": " << load.output << "\n--- script ---\n" << generated;

    const QueryRow counts = target.Query("SELECT COUNT(*), COUNT(k) FROM keyed").at(0);
    EXPECT_EQ(counts[0].value_or(""), std::to_string(c.keys.size())) << c.name << ": rows that arrived";
    EXPECT_EQ(counts[1].value_or(""), std::to_string(c.keys.size() - static_cast<size_t>(c.written_null)))
        << c.name << ": key values that arrived";
    const bool key_left_out = c.written_null > 0;
    EXPECT_EQ(target.Query(PrimaryKeyCountSql(target)).at(0)[0].value_or(""), key_left_out ? "0" : "1")
        << c.name << "\n--- script ---\n" << generated;

    int left_out_lines = 0;
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.color && line.text.find("primary key: k holds values that are written NULL") != std::string::npos &&
          line.text.find("written without a primary key") != std::string::npos) {
        ++left_out_lines;
      }
    }
    EXPECT_EQ(left_out_lines, key_left_out ? 1 : 0) << c.name;
  }
}

// The golden dialects: the same MariaDB table with a zero date in its key is
// written without a key in MS SQL, Oracle and Pervasive too.
TEST(LostKeyValueRoundTrip, EveryDialectLeavesOutAKeyOfZeroDates) {
  TestDatabase source = TestDatabase::MariaDb();
  const LostKeyCase zero = kCases.front();
  const ScriptRun created = RunMariaDbScript(source, SourceScript(zero), "SET SESSION sql_mode = ''");
  ASSERT_TRUE(created.succeeded) << created.output;
  for (TargetDialect dialect : {TargetDialect::MsSql, TargetDialect::Oracle, TargetDialect::Pervasive,
                                TargetDialect::MySql, TargetDialect::PostgreSql}) {
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.generator.GenerateScript(source.Dsn(), "keyed");
    ASSERT_EQ(harness.ui.tabs().size(), 1u) << static_cast<int>(dialect);
    const std::string generated = harness.ScriptText();
    EXPECT_EQ(generated.find("PRIMARY KEY"), std::string::npos) << static_cast<int>(dialect) << "\n" << generated;
    EXPECT_NE(generated.find("CREATE TABLE"), std::string::npos) << static_cast<int>(dialect) << "\n" << generated;
  }
}

}  // namespace
}  // namespace quill::testing
