// Whole scripts from PostgreSQL and MariaDB tables that hold every kind of
// column, long text and BLOBs among them (values far beyond any first buffer,
// and beyond the longest bound value), stay byte for byte what the reading of
// rows has always given. The golden file holds each script's size and digest;
// a script that differs is written beside the test for a diff.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "fixtures/test_database.h"
#include "generator/generator_harness.h"

namespace quill::testing {
namespace {

constexpr int kRows = 3000;

std::string Digest(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof(hex), "%016llx", static_cast<unsigned long long>(hash));
  return std::to_string(text.size()) + " " + hex;
}

// "case size digest" lines.
std::map<std::string, std::string> GoldenDigests() {
  std::ifstream file(std::string(QUILL_SOURCE_DIR) + "/tests/platform/odbc/golden/script_identity.txt");
  std::map<std::string, std::string> digests;
  std::string line;
  while (std::getline(file, line)) {
    const std::size_t blank = line.find(' ');
    if (blank != std::string::npos && line[0] != '#') digests[line.substr(0, blank)] = line.substr(blank + 1);
  }
  return digests;
}

// The same rows on both engines: texts beyond ASCII (two, three and four
// bytes a character), quotes, NULLs, memos from a few bytes to 80,000
// characters, BLOBs (written as their text) up to 80,000 bytes, and numbers,
// dates and times.
void CreateMixedTable(TestDatabase& database) {
  const bool postgres = database.engine() == Engine::Postgres;
  const std::string concat_note =
      "CASE WHEN k % 500 = 0 THEN REPEAT('\xE2\x82\xAC" "x', 40000) "
      "WHEN k % 50 = 0 THEN REPEAT('ab\xF0\x9F\x98\x80', 100 + k % 300) "
      "WHEN k % 7 = 0 THEN NULL "
      "ELSE CONCAT('note ', k, REPEAT('\xC3\xA9', k % 300)) END";
  const std::string name =
      "CASE k % 5 WHEN 0 THEN NULL WHEN 1 THEN CONCAT('O''Brien \"', k, '\"') "
      "WHEN 2 THEN CONCAT('\xE5\x8C\x97\xE4\xBA\xAC ', k) WHEN 3 THEN CONCAT('Gr\xC3\xBC\xC3\x9F" "e ', k) "
      "ELSE CONCAT('\xF0\x9F\x98\x80', k) END";
  const std::string blob = "CONCAT(REPEAT('blob', CASE WHEN k % 500 = 250 THEN 20000 ELSE k % 400 END), k)";
  if (postgres) {
    database.Execute(
        "CREATE TABLE mixed (id INTEGER PRIMARY KEY, name VARCHAR(40), note TEXT, data BYTEA, amount DOUBLE PRECISION, "
        "day DATE, stamp TIMESTAMP(0), small SMALLINT, big BIGINT)");
    database.Execute("INSERT INTO mixed SELECT k, " + name + ", " + concat_note +
                     ", CASE WHEN k % 3 = 0 THEN NULL ELSE convert_to(" + blob + ", 'UTF8') END, k * 0.25, "
                     "DATE '2020-01-01' + k, TIMESTAMP '2020-01-01 00:00:00' + k * INTERVAL '2233 seconds', "
                     "k % 300 - 150, k * 3000000000 FROM generate_series(1, " +
                     std::to_string(kRows) + ") AS k");
  } else {
    database.Execute(
        "CREATE TABLE mixed (id INTEGER PRIMARY KEY, name VARCHAR(40), note LONGTEXT, data MEDIUMBLOB, amount DOUBLE, "
        "day DATE, stamp DATETIME, small SMALLINT, big BIGINT)");
    database.Execute("INSERT INTO mixed SELECT k, " + name + ", " + concat_note +
                     ", CASE WHEN k % 3 = 0 THEN NULL ELSE CAST(" + blob + " AS BINARY) END, k * 0.25, "
                     "DATE '2020-01-01' + INTERVAL k DAY, TIMESTAMP '2020-01-01 00:00:00' + INTERVAL k * 2233 SECOND, "
                     "k % 300 - 150, k * 3000000000 FROM (SELECT CAST(seq AS SIGNED) AS k FROM seq_1_to_" +
                     std::to_string(kRows) + ") AS n");
  }
}

struct IdentityCase {
  Engine engine;
  TargetDialect dialect;
  std::string name;
};

TEST(OdbcScriptIdentity, ScriptsStayByteForByte) {
  const std::vector<IdentityCase> cases = {
      {Engine::Postgres, TargetDialect::PostgreSql, "postgres-to-postgresql"},
      {Engine::Postgres, TargetDialect::MySql, "postgres-to-mysql"},
      {Engine::MariaDb, TargetDialect::PostgreSql, "mariadb-to-postgresql"},
      {Engine::MariaDb, TargetDialect::MySql, "mariadb-to-mysql"},
  };
  const std::map<std::string, std::string> golden = GoldenDigests();
  TestDatabase postgres = TestDatabase::Postgres(DsnOptions().WithName("Identity PostgreSQL"));
  TestDatabase mariadb = TestDatabase::MariaDb(DsnOptions().WithName("Identity MariaDB"));
  CreateMixedTable(postgres);
  CreateMixedTable(mariadb);
  for (const IdentityCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestDatabase& database = c.engine == Engine::Postgres ? postgres : mariadb;
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.text_from_blob = true;
    harness.ui.SetSelectedNodeCaption("identity");
    harness.generator.GenerateScript(database.Dsn(), c.engine == Engine::Postgres ? "public.mixed" : "mixed");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    ASSERT_GT(script.size(), 1000000u);
    const std::string digest = Digest(script);
    const auto expected = golden.find(c.name);
    if (expected == golden.end() || expected->second != digest) {
      std::ofstream("script_identity_" + c.name + ".sql", std::ios::binary) << script;
      ADD_FAILURE() << "script differs (" << c.name << " " << digest << "); written to script_identity_" << c.name
                    << ".sql";
    }
  }
}

}  // namespace
}  // namespace quill::testing
