// Round trips of real-world databases that Debian data packages ship
// (tests/fixtures/real_world/databases.txt): every table, read from the
// SQLite file itself and from the same data that the CTest fixture
// realworld_sources loaded into PostgreSQL and MariaDB with their own client
// libraries, is scripted as PostgreSQL and as MySql, loaded by psql or the
// mariadb client into a fresh database and compared with its source value for
// value by tests/fixtures/real_world/real_world_databases.py. One case per
// database, source engine and dialect, so CTest runs them side by side.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/script_loaders.h"
#include "fixtures/temporary_folder.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "generator/generator_harness.h"

namespace quill::testing {
namespace {

const std::string kFixtureFolder = std::string(QUILL_SOURCE_DIR) + "/tests/fixtures/real_world";
const std::string kTool = kFixtureFolder + "/real_world_databases.py";
// Debian's own interpreter, which the python3-psycopg2 and python3-pymysql packages serve.
const std::string kPython = "/usr/bin/python3";

struct RealWorldDatabase {
  std::string name;
  std::string file;
};

std::vector<RealWorldDatabase> ListedDatabases() {
  std::vector<RealWorldDatabase> listed;
  std::ifstream listing(kFixtureFolder + "/databases.txt");
  std::string line;
  while (std::getline(listing, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    RealWorldDatabase database;
    std::string package;
    if (fields >> database.name >> package >> database.file) listed.push_back(database);
  }
  return listed;
}

struct RealWorldCase {
  RealWorldDatabase database;
  Engine source;
  TargetDialect dialect;
};

std::string EngineName(Engine engine) {
  return engine == Engine::Sqlite ? "sqlite" : engine == Engine::Postgres ? "postgres" : "mariadb";
}

std::vector<RealWorldCase> AllCases() {
  std::vector<RealWorldCase> cases;
  for (const RealWorldDatabase& database : ListedDatabases()) {
    for (Engine source : {Engine::Sqlite, Engine::Postgres, Engine::MariaDb}) {
      for (TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
        cases.push_back({database, source, dialect});
      }
    }
  }
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<RealWorldCase>& info) {
  const RealWorldCase& c = info.param;
  return c.database.name + "_from_" + EngineName(c.source) + "_to_" +
         (c.dialect == TargetDialect::PostgreSql ? "postgres" : "mysql");
}

void PrintTo(const RealWorldCase& c, std::ostream* out) { *out << c.database.name << " from " << EngineName(c.source); }

// The line of a client's output that says why it stopped.
std::string ErrorLine(const std::string& output) {
  std::istringstream stream(output);
  std::string line;
  std::string first;
  while (std::getline(stream, line)) {
    if (line.find("ERROR") != std::string::npos) return line;
    if (first.empty()) first = line;
  }
  return first;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The source as the program sees it: a data source named after the case. The
// SQLite file is read from a copy, so nothing can change the installed one.
class RealWorldSource {
 public:
  explicit RealWorldSource(const RealWorldCase& c)
      : dsn_("Real World " + c.database.name + " " + EngineName(c.source)) {
    const TestServers& servers = RunningTestServers();
    const std::string database = "realworld_" + c.database.name;
    switch (c.source) {
      case Engine::Sqlite: {
        const std::string copy = folder_.path() + std::filesystem::path(c.database.file).filename().string();
        std::filesystem::copy_file(c.database.file, copy);
        RegisterSystemDsn(dsn_, kSqliteDriver, {{"Database", copy}});
        spec_ = "sqlite:" + copy;
        break;
      }
      case Engine::Postgres:
        RegisterSystemDsn(dsn_, kPostgresDriver,
                          {{"Servername", "127.0.0.1"},
                           {"Port", std::to_string(servers.postgres_port)},
                           {"Database", database},
                           {"ByteaAsLongVarBinary", "1"},
                           {"Username", servers.postgres_user},
                           {"Password", servers.postgres_password}});
        spec_ = "postgres:" + database;
        schema_prefix_ = "public.";
        break;
      case Engine::MariaDb:
        RegisterSystemDsn(dsn_, kMariaDbDriver,
                          {{"SERVER", "127.0.0.1"},
                           {"PORT", std::to_string(servers.mariadb_port)},
                           {"DATABASE", database},
                           {"USER", servers.mariadb_user},
                           {"PASSWORD", servers.mariadb_password}});
        spec_ = "mariadb:" + database;
        break;
    }
  }
  ~RealWorldSource() { RemoveSystemDsn(dsn_); }

  const std::string& dsn() const { return dsn_; }
  // How the comparing tool names the source.
  const std::string& spec() const { return spec_; }
  std::string ListedName(const std::string& table) const { return schema_prefix_ + table; }

 private:
  TemporaryFolder folder_;
  std::string dsn_;
  std::string spec_;
  std::string schema_prefix_;
};

// Whether a column of the table's primary key holds NULL in the SQLite file,
// asked of the sqlite3 shell. Such a key is no key in any other engine.
bool SqliteKeyHoldsNull(const std::string& file, const std::string& table) {
  auto quoted = [](const std::string& name, char quote) {
    std::string text(1, quote);
    for (char c : name) {
      text += c;
      if (c == quote) text += quote;
    }
    return text + quote;
  };
  const ProgramRun keys =
      RunProgram({"sqlite3", file, "SELECT name FROM pragma_table_info(" + quoted(table, '\'') + ") WHERE pk > 0"});
  std::string condition;
  std::istringstream names(keys.output);
  for (std::string name; std::getline(names, name);) {
    condition += (condition.empty() ? "" : " OR ") + quoted(name, '"') + " IS NULL";
  }
  if (condition.empty()) return false;
  const ProgramRun found =
      RunProgram({"sqlite3", file, "SELECT 1 FROM " + quoted(table, '"') + " WHERE " + condition + " LIMIT 1"});
  return found.output.find('1') != std::string::npos;
}

class RealWorldRoundTrip : public ::testing::TestWithParam<RealWorldCase> {};

TEST_P(RealWorldRoundTrip, EveryTableLoadsAndHoldsEveryValue) {
  const RealWorldCase& c = GetParam();
  // A table that the source engine cannot hold (a PostgreSQL system column's
  // name) was never loaded into it.
  const ProgramRun listing = RunProgram({kPython, kTool, "tables", c.database.name, EngineName(c.source)});
  ASSERT_TRUE(listing.succeeded) << listing.output;
  const std::vector<std::string> tables = Lines(listing.output);
  ASSERT_FALSE(tables.empty()) << c.database.file << " lists no table";

  RealWorldSource source(c);
  const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
  TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();

  // Each table is scripted and loaded on its own, so one that the engine
  // refuses is named and the others are still compared.
  std::vector<std::string> loaded;
  std::vector<std::string> left_out;  // --left-out TABLE COLUMN, for each BLOB column the run left out
  std::string refused;
  std::string logged;
  for (const std::string& table : tables) {
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.drop = true;
    harness.generator.GenerateScript(source.dsn(), source.ListedName(table));
    const std::string column_head = "Table : " + source.ListedName(table) + " : column ";
    // Red lines say something did not arrive, except the notice of a table
    // without rows, and the note on a SQLite key that really holds NULL.
    for (const LogLine& line : harness.ui.log_lines()) {
      // "Table : T : column C : N BLOB values left out; ..."
      if (!line.color && line.text.starts_with(column_head)) {
        const std::string rest = line.text.substr(column_head.size());
        const size_t said_at = rest.find(" BLOB values left out");
        const size_t count_at = said_at == std::string::npos ? said_at : rest.rfind(" : ", said_at);
        if (count_at != std::string::npos) {
          left_out.insert(left_out.end(), {"--left-out", table, rest.substr(0, count_at)});
        }
      }
      if (!line.color || line.text.find("Cannot get data on table") != std::string::npos) continue;
      if (c.source == Engine::Sqlite && line.text.find("primary key: holds NULL values") != std::string::npos &&
          SqliteKeyHoldsNull(c.database.file, table)) {
        continue;
      }
      logged += "  " + table + ": " + line.text + "\n";
    }
    if (harness.ui.tabs().size() != 1) {
      refused += "  " + table + ": the run made no script\n";
      continue;
    }
    const std::string script = harness.ScriptText();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    if (load.succeeded) {
      loaded.push_back(table);
    } else {
      refused += "  " + table + ": " + ErrorLine(load.output) + "\n";
    }
  }

  std::vector<std::string> compare = {
      kPython,       kTool,
      "compare",     RunningTestServers().folder,
      source.spec(), EngineName(to_postgres ? Engine::Postgres : Engine::MariaDb) + ":" + target.DatabaseName()};
  compare.insert(compare.end(), left_out.begin(), left_out.end());
  compare.insert(compare.end(), loaded.begin(), loaded.end());
  const ProgramRun comparison = RunProgram(compare);

  EXPECT_TRUE(refused.empty()) << "tables refused by the engine (" << loaded.size() << " of " << tables.size()
                               << " loaded):\n"
                               << refused;
  EXPECT_TRUE(comparison.succeeded) << "values that differ, by class:\n" << comparison.output;
  EXPECT_TRUE(logged.empty()) << "red lines the run logged:\n" << logged;
}

INSTANTIATE_TEST_SUITE_P(Databases, RealWorldRoundTrip, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace quill::testing
