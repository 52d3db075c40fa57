// Whole scripts from PostgreSQL and MariaDB tables that hold every kind of
// column, long text and BLOBs among them (values far beyond any first buffer,
// and beyond the longest bound value), stay byte for byte what the reading of
// rows has always given. The golden file holds each script's size and digest;
// a script that differs is written beside the test for a diff.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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
    // Where an insert puts a row depends on the server's caches (a busy
    // server may send a row back to an earlier page), and a plain read gives
    // the rows in that order: the table is rewritten in key order.
    database.Execute("CLUSTER mixed USING mixed_pkey");
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


// Every PostgreSQL type the type matrix knows, in many blocks of rows (text
// beyond ASCII, values past the first buffers, NaN, the infinities and years
// BC among them), reach each dialect's script byte for byte as before
// however the rows are read.
TEST(OdbcScriptIdentity, EveryPostgresTypeInEveryDialect) {
  const std::map<std::string, std::string> golden = GoldenDigests();
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " SET TimeZone = 'UTC'");
  database.Execute("CREATE TYPE mood AS ENUM ('sad', 'ok', '\xC3\xBC" "berdreht')");
  database.Execute("CREATE DOMAIN dmoney AS money");
  database.Execute("CREATE DOMAIN code AS varchar(10)");
  // Each column's type and its value in row k.
  const std::vector<std::pair<std::string, std::string>> columns = {
      {"int4 PRIMARY KEY", "k"},
      {"int2", "(k % 30000)::int2"},
      {"int8", "k::int8 * 1000000007"},
      {"bool", "k % 3 = 0"},
      {"bit(8)", "(k % 256)::bit(8)"},
      {"varbit", "((k % 1000)::bit(10))::varbit"},
      {"interval", "k * interval '1 second 7 ms'"},
      {"json", "('{\"a\": \"\xC3\xA9' || k || '\"}')::json"},
      {"jsonb", "('{\"b\": [' || k || ', 2]}')::jsonb"},
      {"integer[]", "ARRAY[k, k + 1]"},
      {"text[]", "ARRAY['a,b' || k, 'c']"},
      {"mood[]", "'{sad,ok}'::mood[]"},
      {"point", "point(k, k / 3.0)"},
      {"tsvector", "to_tsvector('simple', 'a fat cat ' || k)"},
      {"int4range", "int4range(k, k + 5)"},
      {"varchar", "repeat('y', k % 400)"},
      {"text", "CASE WHEN k % 7 = 0 THEN NULL WHEN k % 1000 = 3 THEN repeat('\xE2\x82\xAC" "x', 40000) ELSE 't\xC3\xABxt ' || repeat('\xC3\xBC', k % 300) || ' ''q'' \"' END"},
      {"mood", "(ARRAY['sad','ok','\xC3\xBC" "berdreht']::mood[])[1 + k % 3]"},
      {"varchar(5)", "left('h\xC3\xA9llo', 1 + k % 5)"},
      {"code", "lpad(k::text, 10, '0')"},
      {"char(3)", "left('ab', k % 3)"},
      {"macaddr8", "'08:00:2b:01:02:03:04:05'::macaddr8"},
      {"inet", "('10.0.' || (k % 256) || '.' || (k % 200))::inet"},
      {"timetz", "'12:00+02'::timetz + k * interval '1 s'"},
      {"uuid", "md5(k::text)::uuid"},
      {"money", "(k * 1.37)::numeric::money"},
      {"dmoney", "(-k * 3.01)::numeric::money"},
      {"real", "(k / 7.0)::real"},
      {"double precision", "k / 3.0"},
      {"numeric", "CASE WHEN k % 11 = 0 THEN 'NaN'::numeric ELSE k / 7.0 END"},
      {"numeric(10,2)", "k * 0.5"},
      {"numeric(5,-2)", "k % 99999"},
      {"numeric(3,5)", "(k % 99) / 100000.0"},
      {"numeric(38,0)", "k::numeric * 99999999999999999"},
      {"time(3)", "time '00:00' + k * interval '1.001 s'"},
      {"time", "time '00:00' + k * interval '1.000001 s'"},
      {"timestamp(0)", "timestamp '2000-01-01' + k * interval '37 s'"},
      {"timestamp", "CASE WHEN k % 997 = 0 THEN 'infinity' WHEN k % 991 = 0 THEN '0044-03-15 12:00:00 BC' ELSE timestamp '1999-01-01' + k * interval '1.234567 s' END"},
      {"timestamptz(2)", "timestamptz '2020-01-01 02:00:00.25+02' + k * interval '1.5 h'"},
      {"timestamptz", "CASE WHEN k % 13 = 0 THEN NULL ELSE timestamptz '2020-01-01 00:00:00+00' + k * interval '1 day 0.5 s' END"},
      {"date", "CASE WHEN k % 983 = 0 THEN '-infinity' ELSE date '2000-01-01' + k END"},
      {"bytea", "CASE WHEN k % 4 = 0 THEN NULL WHEN k % 1000 = 1 THEN decode(repeat('00ff', 5000), 'hex') ELSE decode(md5(k::text), 'hex') END"},
      {"varchar(300)", "repeat('v', k % 300)"},
      {"name", "('n' || k)::name"},
      {"char(1)", "chr(65 + k % 26)"},
  };
  std::string create = "CREATE TABLE rich (";
  std::string select = "INSERT INTO rich SELECT ";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    create += (i > 0 ? ", c" : "c") + std::to_string(i) + " " + columns[i].first;
    select += (i > 0 ? ", " : "") + columns[i].second;
  }
  database.Execute(create + ")");
  database.Execute(select + " FROM generate_series(1, 12000) AS k");
  // Rewritten in a fixed order, as the mixed table is: that of its unique
  // name column.
  const auto name_column = std::find_if(columns.begin(), columns.end(), [](const auto& c) { return c.first == "name"; });
  const std::string name_column_name = "c" + std::to_string(name_column - columns.begin());
  database.Execute("CREATE INDEX rich_order ON rich (" + name_column_name + ")");
  database.Execute("CLUSTER rich USING rich_order");
  const std::vector<std::pair<std::string, TargetDialect>> dialects = {
      {"mysql", TargetDialect::MySql}, {"mssql", TargetDialect::MsSql}, {"oracle", TargetDialect::Oracle},
      {"pervasive", TargetDialect::Pervasive}, {"postgres", TargetDialect::PostgreSql}};
  for (const auto& [dialect_name, dialect] : dialects) {
    const std::string name = "postgres-types-to-" + dialect_name;
    SCOPED_TRACE(name);
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.ui.SetSelectedNodeCaption("rich");
    harness.generator.GenerateScript(database.Dsn(), "public.rich");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    const std::string digest = Digest(script);
    const auto expected = golden.find(name);
    if (expected == golden.end() || expected->second != digest) {
      std::ofstream("script_identity_" + name + ".sql", std::ios::binary) << script;
      ADD_FAILURE() << "script differs (" << name << " " << digest << "); written to script_identity_" << name
                    << ".sql";
    }
  }
}

}  // namespace
}  // namespace quill::testing
