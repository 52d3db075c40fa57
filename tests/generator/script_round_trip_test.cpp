// Round trips into real engines: a table of every kind of value is scripted
// from SQLite and from PostgreSQL as PostgreSQL and as MySql, the script is
// loaded by psql or the mariadb client into a fresh database, and the table
// read back must hold the source's values, value for value.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

// How two engines' texts of one column are compared.
enum class Kind { Text, Number, Boolean, Exact, Time };

struct Column {
  std::string name;
  std::string sqlite_type;
  std::string postgres_type;
  Kind kind;
};

const std::vector<Column> kColumns = {
    {"id", "INT", "integer", Kind::Exact},
    {"Line", "SMALLINT", "smallint", Kind::Exact},
    {"big", "BIGINT", "bigint", Kind::Exact},
    {"small", "SMALLINT", "smallint", Kind::Exact},
    {"name", "VARCHAR(40)", "varchar(40)", Kind::Text},
    {"note", "TEXT", "text", Kind::Text},
    {"amount", "DECIMAL(10,3)", "numeric(10,3)", Kind::Number},
    {"ratio", "REAL", "float8", Kind::Number},
    {"ok", "BOOLEAN", "boolean", Kind::Boolean},
    {"day", "DATE", "date", Kind::Exact},
    {"at", "TIME", "time", Kind::Time},
    {"stamp", "DATETIME", "timestamp", Kind::Time},
};

const std::string kTable = "Order Lines";

// SQL literals of the rows in the source engine: the line break of the notes
// is written with the engine's own function.
std::vector<std::vector<std::string>> SourceRows(Engine engine) {
  const std::string crlf = engine == Engine::Sqlite ? "char(13,10)" : "chr(13) || chr(10)";
  const std::string yes = engine == Engine::Sqlite ? "1" : "true";
  const std::string no = engine == Engine::Sqlite ? "0" : "false";
  std::vector<std::string> nulls(kColumns.size() - 2, "NULL");
  std::vector<std::string> null_row = {"2", "1"};
  null_row.insert(null_row.end(), nulls.begin(), nulls.end());
  return {
      {"1", "1", "9223372036854775807", "-32768", "'O''Hara \"the\" C:\\dir\\'",
       "'line one, first' || " + crlf + " || 'line two:     Zoë Ñandú, ÄÖÜ ß'", "12.345", "0.1", yes,
       "'2004-12-31'", "'10:11:12'", "'2004-12-31 10:11:12'"},
      {"1", "2", "-9223372036854775808", "32767", "'Zoë Ñandú'", "'ends with a backslash \\'", "-0.5", "-1.5e20", no,
       "'1999-01-01'", "'00:00:00'", "'2000-02-29 00:00:00'"},
      null_row,
  };
}

std::string Canonical(const std::optional<std::string>& value, Kind kind) {
  if (!value) return "<NULL>";
  std::string text = *value;
  switch (kind) {
    case Kind::Text:
      // character(n) columns come back padded with blanks.
      while (!text.empty() && text.back() == ' ') text.pop_back();
      return text;
    case Kind::Number: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(text.c_str(), nullptr));
      return buffer;
    }
    case Kind::Boolean:
      if (text == "t" || text == "true" || text == "1") return "true";
      if (text == "f" || text == "false" || text == "0") return "false";
      return "not a boolean: " + text;
    case Kind::Exact:
      return text;
    case Kind::Time:
      // Columns with six digits of fractions write a whole second ".000000".
      if (text.size() > 7 && text.compare(text.size() - 7, 7, ".000000") == 0) text.resize(text.size() - 7);
      return text;
  }
  return text;
}

std::vector<std::vector<std::string>> ReadBack(TestDatabase& db, const std::string& table, bool lower_case_names) {
  std::string select = "SELECT ";
  for (size_t i = 0; i < kColumns.size(); ++i) {
    if (i > 0) select += ", ";
    std::string name = kColumns[i].name;
    if (lower_case_names) name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    select += db.Quote(name);
  }
  select += " FROM " + db.Quote(table) + " ORDER BY 1, 2";
  std::vector<std::vector<std::string>> rows;
  for (const QueryRow& row : db.Query(select)) {
    std::vector<std::string> canonical;
    for (size_t i = 0; i < row.size(); ++i) canonical.push_back(Canonical(row[i], kColumns[i].kind));
    rows.push_back(canonical);
  }
  return rows;
}

std::vector<std::string> KeyColumns(TestDatabase& db, const std::string& table) {
  const std::string where = db.engine() == Engine::Postgres ? "table_schema = 'public'" : "table_schema = DATABASE()";
  std::vector<std::string> key;
  for (const QueryRow& row : db.Query("SELECT column_name FROM information_schema.key_column_usage WHERE " + where +
                                      " AND table_name = '" + table + "' ORDER BY ordinal_position")) {
    key.push_back(row.at(0).value_or(""));
  }
  return key;
}

struct RoundTripCase {
  std::string name;
  Engine source;
  TargetDialect dialect;
  std::function<void(Settings&)> options;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class ScriptRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ScriptRoundTrip, TargetHoldsTheSourceValues) {
  const RoundTripCase& c = GetParam();
  DsnOptions booleans_as_bits;
  booleans_as_bits.bools_as_char = false;
  TestDatabase source =
      c.source == Engine::Sqlite ? TestDatabase::Sqlite() : TestDatabase::Postgres(booleans_as_bits);
  TableDescription table{kTable, {}, {"id", "Line"}, SourceRows(c.source)};
  for (const Column& column : kColumns) {
    table.columns.push_back({column.name, c.source == Engine::Sqlite ? column.sqlite_type : column.postgres_type});
  }
  source.CreateTable(table);

  GeneratorHarness harness;
  harness.settings.format = c.dialect;
  harness.settings.drop = true;
  if (c.options) c.options(harness.settings);
  const std::string listed = c.source == Engine::Postgres ? "public." + kTable : kTable;
  harness.generator.GenerateScript(source.Dsn(), listed);
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();

  const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
  TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
  // With DROP on: the DROP of a table that is not there yet must not stop the load.
  const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;

  const std::string target_table = to_postgres ? "order lines" : kTable;
  EXPECT_EQ(ReadBack(target, target_table, to_postgres), ReadBack(source, kTable, false))
      << script;
  EXPECT_EQ(KeyColumns(target, target_table),
            (std::vector<std::string>{"id", to_postgres ? "line" : "Line"}));
}

void DatesAsTheyAre(Settings& s) { s.leave = true; }
void PostgresFormatStrings(Settings& s) {
  s.formatting = true;
  s.post_form_type = 1;
  s.po_date_format = "YYYY-MM-DD";
  s.po_time_format = "YYYY-MM-DD HH24:MI:SS";
}
void PostgresDatestyle(Settings& s) {
  s.formatting = true;
  s.post_form_type = 0;
  s.po_format = 0;
}
void MySqlFormatString(Settings& s) {
  s.formatting = true;
  s.my_format = "%Y-%m-%d %H:%i:%s";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptRoundTrip,
    ::testing::Values(
        RoundTripCase{"SqliteToPostgresDatesAsTheyAre", Engine::Sqlite, TargetDialect::PostgreSql, DatesAsTheyAre},
        RoundTripCase{"SqliteToPostgresFormatStrings", Engine::Sqlite, TargetDialect::PostgreSql,
                      PostgresFormatStrings},
        RoundTripCase{"PostgresToPostgresDatesAsTheyAre", Engine::Postgres, TargetDialect::PostgreSql,
                      DatesAsTheyAre},
        RoundTripCase{"PostgresToPostgresDatestyle", Engine::Postgres, TargetDialect::PostgreSql, PostgresDatestyle},
        RoundTripCase{"SqliteToMySqlDatesAsTheyAre", Engine::Sqlite, TargetDialect::MySql, DatesAsTheyAre},
        RoundTripCase{"SqliteToMySqlFormatString", Engine::Sqlite, TargetDialect::MySql, MySqlFormatString},
        RoundTripCase{"PostgresToMySqlDatesAsTheyAre", Engine::Postgres, TargetDialect::MySql, DatesAsTheyAre},
        RoundTripCase{"PostgresToMySqlFormatString", Engine::Postgres, TargetDialect::MySql, MySqlFormatString}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

// Column types that must hold the source's values in every dialect: unsigned
// 16-bit integers (MariaDB's SMALLINT UNSIGNED) up to 65535, and binary
// columns, typed to hold their bytes.
// The PostgreSQL script loads the integers whole.
TEST(ScriptRoundTripTypes, UnsignedSmallIntegersAndBinaryColumns) {
  TestDatabase source = TestDatabase::MariaDb();
  source.CreateTable({"words",
                      {{"id", "INT"}, {"w", "SMALLINT UNSIGNED"}, {"b", "BINARY(4)"}},
                      {"id"},
                      {{"1", "0", "NULL"}, {"2", "300", "NULL"}, {"3", "65535", "NULL"}}});
  const struct {
    TargetDialect dialect;
    std::vector<std::string> columns;
  } cases[] = {
      {TargetDialect::MsSql, {"[w] [int]", "[b] [varbinary] (4)"}},
      {TargetDialect::PostgreSql, {"\"w\" integer", "\"b\" bytea"}},
      {TargetDialect::Pervasive, {"\"w\" usmallint", "\"b\" binary(4)"}},
      {TargetDialect::MySql, {"`w` smallint(6) unsigned", "`b` varbinary(4)"}},
      {TargetDialect::Oracle, {"w integer", "b raw(4)"}},
  };
  for (const auto& c : cases) {
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.generator.GenerateScript(source.Dsn(), "words");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    for (const std::string& column : c.columns) EXPECT_NE(script.find(column), std::string::npos) << script;
    if (c.dialect != TargetDialect::PostgreSql) continue;
    TestDatabase target = TestDatabase::Postgres();
    const ScriptRun load = RunPsqlScript(target, script);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
    std::vector<std::string> values;
    for (const QueryRow& row : target.Query("SELECT w FROM words ORDER BY id")) values.push_back(row.at(0).value_or(""));
    EXPECT_EQ(values, (std::vector<std::string>{"0", "300", "65535"}));
  }
}

}  // namespace
}  // namespace quill::testing

namespace quill::testing {
namespace {

// PostgreSQL columns declared without a size (numeric, varchar) hold values
// of any scale and length; the scripts' types must hold them all. A decimal
// of unknown precision is MySql's widest decimal, which holds these values.
TEST(ScriptRoundTripTypes, ColumnsDeclaredWithoutASize) {
  TestDatabase source = TestDatabase::Postgres();
  const std::string long_text = "'" + std::string(3000, 'x') + "'";
  source.CreateTable({"unsized",
                      {{"id", "integer"}, {"n", "numeric"}, {"v", "varchar"}},
                      {"id"},
                      {{"1", "1.5", "'short'"},
                       {"2", "123456.789", long_text},
                       {"3", "-0.000001", "NULL"},
                       {"4", "0.1", "''"}}});
  const std::vector<QueryRow> expected = source.Query("SELECT id, n::text, v FROM unsized ORDER BY id");
  for (const TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
    const bool to_postgres = dialect == TargetDialect::PostgreSql;
    SCOPED_TRACE(to_postgres ? "PostgreSQL" : "MySql");
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.generator.GenerateScript(source.Dsn(), "public.unsized");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script.substr(0, 2000);
    std::vector<QueryRow> arrived = target.Query(to_postgres ? "SELECT id, n::text, v FROM unsized ORDER BY id"
                                                             : "SELECT id, n, v FROM unsized ORDER BY id");
    ASSERT_EQ(arrived.size(), expected.size());
    for (size_t row = 0; row < expected.size(); ++row) {
      ASSERT_TRUE(arrived[row][1] && expected[row][1]) << "row " << row;
      EXPECT_EQ(std::strtod(arrived[row][1]->c_str(), nullptr), std::strtod(expected[row][1]->c_str(), nullptr))
          << "row " << row << ": " << *arrived[row][1];
      // Empty text is written NULL by the scripts' rule.
      const std::optional<std::string> v = expected[row][2] == std::optional<std::string>("") ? std::nullopt : expected[row][2];
      EXPECT_EQ(arrived[row][2], v) << "row " << row;
    }
  }
}

}  // namespace
}  // namespace quill::testing
