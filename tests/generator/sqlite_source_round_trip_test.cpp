// A SQLite file with the values its declared types do not describe (text in
// integer-typed columns, 64-bit integers, reals with seventeen digits, names
// holding points and characters beyond ASCII) is scripted as PostgreSQL and
// as MySql; the real engines load the scripts and hold every value.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

enum class Compare { Text, Number };

struct Column {
  std::string name;
  std::string declared_type;
  Compare compare;
  std::vector<std::string> literals;          // one per row, in the SQLite script
  std::vector<std::optional<std::string>> values;  // what the target must hold
};

const std::vector<Column> kColumns = {
    {"code", "INTEGER_OR_TEXT", Compare::Text,
     {"'106011_Paris'", "'106011_Greenwich'", "'ABC'", "'1_Ceres'"},
     {"106011_Paris", "106011_Greenwich", "ABC", "1_Ceres"}},
    {"x", "INTEGER", Compare::Text, {"'x7'", "7", "NULL", "-1"}, {"x7", "7", std::nullopt, "-1"}},
    {"n", "INTEGER", Compare::Number, {"2490000000", "-2490000000", "0", "9007199254740993"},
     {"2490000000", "-2490000000", "0", "9007199254740993"}},
    {"r", "REAL", Compare::Number, {"18.833333333333332", "0.1", "-1.5e-7", "NULL"},
     {"18.833333333333332", "0.1", "-1.5e-7", std::nullopt}},
    {"a.b", "INTEGER", Compare::Number, {"1", "2", "3", "4"}, {"1", "2", "3", "4"}},
    {"ca.b", "TEXT", Compare::Text, {"'Ústecký kraj'", "'Hà Nội'", "'日本'", "'x'"},
     {"Ústecký kraj", "Hà Nội", "日本", "x"}},
    {"prénom", "VARCHAR(3)", Compare::Text, {"'Zoë'", "'longer than three'", "'a'", "'b'"},
     {"Zoë", "longer than three", "a", "b"}},
};

// A point belongs to a SQLite table's name; the script's table is the part
// after it.
const std::string kTable = "geo.awkward";
const std::string kTargetTable = "awkward";

std::string Canonical(const std::optional<std::string>& value, Compare compare) {
  if (!value) return "<NULL>";
  std::string text = *value;
  if (compare == Compare::Number) {
    // Integers compare as integers, so that 64-bit values keep every digit.
    if (text.find_first_of(".eE") == std::string::npos) return text;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(text.c_str(), nullptr));
    return buffer;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();  // character(n) pads
  return text;
}

// MariaDB's ODBC driver reports some wide texts two bytes short: texts are
// read back as hexadecimal digits there.
std::optional<std::string> FromHex(const std::optional<std::string>& hex) {
  if (!hex) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i + 1 < hex->size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex->substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

struct Target {
  std::string name;
  TargetDialect dialect;
};

class SqliteSourceRoundTrip : public ::testing::TestWithParam<Target> {};

TEST_P(SqliteSourceRoundTrip, TheTargetHoldsEveryValue) {
  TestDatabase source = TestDatabase::Sqlite();
  const std::string table_sql = "\"" + kTable + "\"";
  std::string script = "CREATE TABLE " + table_sql + " (";
  for (size_t i = 0; i < kColumns.size(); ++i) {
    script += (i > 0 ? ", \"" : "\"") + kColumns[i].name + "\" " + kColumns[i].declared_type;
  }
  script += ", PRIMARY KEY (code));";
  for (size_t row = 0; row < kColumns.front().literals.size(); ++row) {
    script += "INSERT INTO " + table_sql + " VALUES (";
    for (size_t i = 0; i < kColumns.size(); ++i) script += (i > 0 ? ", " : "") + kColumns[i].literals[row];
    script += ");";
  }
  const ScriptRun created = RunSqliteScript(source, script);
  ASSERT_TRUE(created.succeeded) << created.output;

  GeneratorHarness harness;
  harness.settings.format = GetParam().dialect;
  harness.settings.drop = true;
  harness.generator.GenerateScript(source.Dsn(), kTable);
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string generated = harness.ScriptText();
  EXPECT_NE(generated.find("PRIMARY KEY"), std::string::npos) << generated;

  const bool to_postgres = GetParam().dialect == TargetDialect::PostgreSql;
  TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
  const ScriptRun load = to_postgres ? RunPsqlScript(target, generated) : RunMariaDbScript(target, generated);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << generated;

  std::string select = "SELECT ";
  for (size_t i = 0; i < kColumns.size(); ++i) {
    const std::string name = target.Quote(kColumns[i].name);
    const bool hex = !to_postgres && kColumns[i].compare == Compare::Text;
    select += (i > 0 ? ", " : "") + (hex ? "HEX(" + name + ")" : name);
  }
  select += " FROM " + target.Quote(kTargetTable) + " ORDER BY " + target.Quote("a.b");
  const std::vector<QueryRow> rows = target.Query(select);
  ASSERT_EQ(rows.size(), kColumns.front().values.size()) << generated;
  for (size_t row = 0; row < rows.size(); ++row) {
    for (size_t i = 0; i < kColumns.size(); ++i) {
      const bool hex = !to_postgres && kColumns[i].compare == Compare::Text;
      EXPECT_EQ(Canonical(hex ? FromHex(rows[row][i]) : rows[row][i], kColumns[i].compare), Canonical(kColumns[i].values[row], kColumns[i].compare))
          << kColumns[i].name << " row " << row << "\n--- script ---\n" << generated;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, SqliteSourceRoundTrip,
                         ::testing::Values(Target{"PostgreSql", TargetDialect::PostgreSql},
                                           Target{"MySql", TargetDialect::MySql}),
                         [](const auto& info) { return info.param.name; });

// BLOBs among text: no target type holds both, so the column is written as a
// BLOB column and the log says so in red, naming the table and the column.
TEST(SqliteSourceMixedColumns, BlobsAmongTextAreWrittenAsBlobWithARedLogLine) {
  TestDatabase source = TestDatabase::Sqlite();
  const ScriptRun created =
      RunSqliteScript(source, "CREATE TABLE mixed (id INTEGER PRIMARY KEY, v TEXT);"
                              "INSERT INTO mixed VALUES (1, 'text'), (2, x'00ff'), (3, 'more text');");
  ASSERT_TRUE(created.succeeded) << created.output;
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::PostgreSql;
  harness.generator.GenerateScript(source.Dsn(), "mixed");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  std::vector<std::string> red;
  for (const auto& line : harness.ui.log_lines()) {
    if (line.color == kLogRed) red.push_back(line.text);
  }
  ASSERT_EQ(red.size(), 1u);
  EXPECT_NE(red[0].find("Table : mixed - column v holds 1 BLOB among 2 text values: read as BLOB"), std::string::npos)
      << red[0];
  EXPECT_NE(harness.ScriptText().find("\"v\" oid"), std::string::npos) << harness.ScriptText();
}

}  // namespace
}  // namespace quill::testing
