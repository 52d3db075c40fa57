// The type matrix: a column of every type a user meets in the test PostgreSQL
// and MariaDB servers, holding its edge values, is scripted as PostgreSQL and
// as MySql, loaded by psql and the mariadb client, and read back value for
// value. A value the target cannot hold must arrive NULL with its red line,
// never refused, never changed. A failure names the type, the value and the
// dialect.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "fixtures/script_loaders.h"
#include "fixtures/test_database.h"
#include "generator_harness.h"

namespace quill::testing {
namespace {

// How the texts of one column are read and compared in both engines.
enum class Read {
  kExact,     // the engine's text
  kText,      // text; character(n) pads with blanks; '' is written NULL by the scripts' rule
  kDecimal,   // every digit, trailing fraction zeros aside
  kFloat,     // the same double
  kHex,       // the bytes as hexadecimal digits
  kDuration,  // sign, hours, minutes, seconds and microseconds
  kDateTime,  // a date-time; a fraction's trailing zeros aside
};

struct MatrixColumn {
  MatrixColumn(std::string type, Read read, std::vector<std::string> values, std::vector<std::string> lost_in_mysql = {},
               std::vector<std::string> lost_anywhere = {})
      : type(std::move(type)),
        read(read),
        values(std::move(values)),
        lost_in_mysql(std::move(lost_in_mysql)),
        lost_anywhere(std::move(lost_anywhere)) {}

  std::string type;                         // the source engine's type
  Read read;
  std::vector<std::string> values;          // SQL literals of the source engine
  std::vector<std::string> lost_in_mysql;   // literals MySql cannot hold: NULL and a red line
  std::vector<std::string> lost_anywhere;   // literals no target holds: NULL and a red line
};

std::string ColumnName(size_t i) { return "c" + std::to_string(i); }

const std::vector<MatrixColumn>& PostgresColumns() {
  static const std::vector<MatrixColumn> columns = {
      {"smallint", Read::kExact, {"-32768", "32767"}},
      {"integer", Read::kExact, {"-2147483648", "2147483647"}},
      {"bigint", Read::kExact, {"-9223372036854775808", "9223372036854775807"}},
      {"numeric", Read::kDecimal, {"123456789012345678901234567890", "-0.000001", "0.1", "'NaN'"}, {"'NaN'"}},
      {"numeric(15,4)", Read::kDecimal, {"99999999999.9999", "-0.0001", "0"}},
      {"numeric(38,10)", Read::kDecimal, {"9999999999999999999999999999.9999999999", "-0.0000000001"}},
      {"numeric(60,30)", Read::kDecimal, {"999999999999999999999999999999.999999999999999999999999999999"}},
      {"float8", Read::kFloat,
       {"1.7976931348623157e308", "-4.9e-324", "0.1", "'NaN'", "'Infinity'", "'-Infinity'"},
       {"'NaN'", "'Infinity'", "'-Infinity'"}},
      {"varchar(20)", Read::kText, {"'Zoë Ñandú ÄÖÜ ß'", "''", "'it''s \\ 5'"}},
      {"text", Read::kText, {"'line one' || chr(13) || chr(10) || 'line two'", "'€'"}},
      {"varchar", Read::kText, {"'" + std::string(300, 'x') + "'"}},
      {"date", Read::kExact, {"'0001-01-01'", "'9999-12-31'", "'2004-02-29'"}},
      {"timestamp", Read::kDateTime,
       {"'0001-01-01 00:00:00'", "'9999-12-31 23:59:59.999999'", "'2004-12-31 23:59:59.5'"}},
      {"time", Read::kDuration, {"'00:00:00'", "'23:59:59.999999'", "'12:00:00.000001'"}},
      {"boolean", Read::kExact, {"true", "false"}},
      {"real", Read::kFloat, {"0.4", "3.14159", "'NaN'"}, {"'NaN'"}},
      {"money", Read::kDecimal, {"-92233720368547758.08", "92233720368547758.07", "0"}},
      {"interval", Read::kText, {"'178000000 years 11 mons 30 days 23:59:59.999999'", "'-1 days -00:00:01'"}},
      {"bit(8)", Read::kText, {"B'00000000'", "B'10101010'"}},
      {"varbit", Read::kText, {"B'101'"}},
      {"json", Read::kText, {"'{\"a\": [1, 2], \"b\": \"Zoë\"}'"}},
      {"integer[]", Read::kText, {"'{1,2,3}'"}},
  };
  return columns;
}

const std::vector<MatrixColumn>& MariaDbColumns() {
  static const std::vector<MatrixColumn> columns = {
      {"TINYINT", Read::kExact, {"-128", "127"}},
      {"SMALLINT UNSIGNED", Read::kExact, {"0", "65535"}},
      {"INT UNSIGNED", Read::kExact, {"0", "4294967295"}},
      {"BIGINT", Read::kExact, {"-9223372036854775808", "9223372036854775807"}},
      {"BIGINT UNSIGNED", Read::kExact, {"18446744073709551615"}},
      {"DECIMAL(65,30)", Read::kDecimal,
       {"99999999999999999999999999999999999.999999999999999999999999999999",
        "-0.000000000000000000000000000001"}},
      {"DECIMAL(10,2)", Read::kDecimal, {"-99999999.99", "0.01"}},
      {"DOUBLE", Read::kFloat, {"1.7976931348623157e308", "-2.2250738585072014e-308", "0.1"}},
      {"VARBINARY(16)", Read::kHex, {"x'00FF275C0D0A'", "x''", "x'27'"}},
      {"BINARY(6)", Read::kHex, {"x'00FF275C0D0A'", "x'000000000000'"}},
      {"VARCHAR(20)", Read::kText, {"'Zoë Ñandú ÄÖÜ ß'", "'😀 emoji'"}},
      {"TEXT", Read::kText, {"CONCAT('a', CHAR(13), CHAR(10), 'b\\\\c')", "'ÄÖÜ'"}},
      {"DATE", Read::kExact, {"'1000-01-01'", "'9999-12-31'"}},
      {"DATETIME(6)", Read::kDateTime, {"'1000-01-01 00:00:00'", "'9999-12-31 23:59:59.999999'"}},
      {"DATETIME", Read::kDateTime, {"'2004-12-31 23:59:59'"}},
      {"TIME(6)", Read::kDuration,
       {"'-838:59:59.999999'", "'838:59:59'", "'100:00:00.123456'", "'-00:00:00.000001'", "'23:59:59.999999'"}},
      {"TIME", Read::kDuration, {"'-838:59:59'", "'00:00:00'"}},
      {"DATE", Read::kExact, {"'0000-00-00'", "'2004-12-31'"}, {}, {"'0000-00-00'"}},
      {"DATETIME", Read::kDateTime, {"'0000-00-00 00:00:00'", "'2004-12-31 10:11:12'"}, {}, {"'0000-00-00 00:00:00'"}},
      {"FLOAT", Read::kFloat, {"0.4", "3.14159", "-1e-30"}},
  };
  return columns;
}

// The text of a column read the same way in either engine; PostgreSQL's
// money is read as the number it is, not in the locale's currency form.
std::string ReadExpression(Engine engine, const std::string& column, Read read, const std::string& type = {}) {
  const bool postgres = engine == Engine::Postgres;
  std::string name = postgres ? "\"" + column + "\"" : "`" + column + "`";
  if (postgres && type == "money") name += "::numeric";
  switch (read) {
    case Read::kHex: return postgres ? "encode(" + name + ",'hex')" : "lower(hex(" + name + "))";
    case Read::kExact:
    case Read::kText:
    case Read::kDecimal:
    case Read::kFloat:
    case Read::kDuration:
    case Read::kDateTime: return postgres ? name + "::text" : "CAST(" + name + " AS CHAR)";
  }
  return name;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// "-0012.3400" and "-12.34" alike: digits without leading or trailing zeros.
std::string CanonicalDecimal(std::string text) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  const size_t first = text.find_first_not_of('0');
  text = first == std::string::npos ? "0" : text.substr(first);
  if (text[0] == '.') text = "0" + text;
  if (text == "0") negative = false;
  return (negative ? "-" : "") + text;
}

// "-838:59:59.999999", "1 day 02:00:00" and "26:00:00.000000" in one form.
std::string CanonicalDuration(const std::string& text) {
  long long days = 0;
  std::string rest = text;
  const size_t day = rest.find(" day");
  if (day != std::string::npos) {
    days = std::atoll(rest.substr(0, day).c_str());
    rest = rest.substr(rest.find(' ', day + 1) + 1);
  }
  const bool negative = !rest.empty() && rest[0] == '-';
  if (negative) rest.erase(0, 1);
  long long hours = 0;
  long long minutes = 0;
  double seconds = 0;
  std::sscanf(rest.c_str(), "%lld:%lld:%lf", &hours, &minutes, &seconds);
  const long long micro = std::llround(((hours * 60 + minutes) * 60 + seconds) * 1e6) * (negative ? -1 : 1) +
                          days * 86400LL * 1000000LL;
  return std::to_string(micro) + " us";
}

std::string Canonical(const std::optional<std::string>& value, Read read) {
  if (!value) return "NULL";
  std::string text = *value;
  switch (read) {
    case Read::kText: text = Trimmed(text); return text.empty() ? "NULL" : text;
    case Read::kDecimal: return text == "NaN" ? text : CanonicalDecimal(text);
    case Read::kFloat: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(text.c_str(), nullptr));
      return buffer;
    }
    case Read::kDuration: return CanonicalDuration(text);
    case Read::kDateTime:
      if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
      }
      return text;
    case Read::kHex: {
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return text;
    }
    case Read::kExact:
      if (text == "t" || text == "true") return "1";
      if (text == "f" || text == "false") return "0";
      return text;
  }
  return text;
}

struct MatrixCase {
  std::string name;
  Engine source;
  TargetDialect dialect;
};

void PrintTo(const MatrixCase& c, std::ostream* out) { *out << c.name; }

class TypeMatrixRoundTrip : public ::testing::TestWithParam<MatrixCase> {};

bool Contains(const std::vector<std::string>& list, const std::string& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

TEST_P(TypeMatrixRoundTrip, EveryValueArrivesOrIsSaid) {
  const MatrixCase& c = GetParam();
  const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
  const std::vector<MatrixColumn>& columns = c.source == Engine::Postgres ? PostgresColumns() : MariaDbColumns();
  // Row r holds value r of each column (NULL past a column's values), and a
  // last row of NULLs.
  size_t rows = 0;
  for (const MatrixColumn& column : columns) rows = std::max(rows, column.values.size());
  TableDescription table{"matrix", {{"id", c.source == Engine::Postgres ? "integer" : "INT"}}, {"id"}};
  for (size_t i = 0; i < columns.size(); ++i) table.columns.push_back({ColumnName(i), columns[i].type});
  for (size_t r = 0; r <= rows; ++r) {
    std::vector<std::string> row = {std::to_string(r + 1)};
    for (const MatrixColumn& column : columns) row.push_back(r < column.values.size() ? column.values[r] : "NULL");
    table.rows.push_back(row);
  }
  DsnOptions booleans_as_bits;
  booleans_as_bits.bools_as_char = false;
  TestDatabase source =
      c.source == Engine::Postgres ? TestDatabase::Postgres(booleans_as_bits) : TestDatabase::MariaDb();
  source.CreateTable(table);

  GeneratorHarness harness;
  harness.settings.format = c.dialect;
  harness.generator.GenerateScript(source.Dsn(), c.source == Engine::Postgres ? "public.matrix" : "matrix");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();
  EXPECT_EQ(script.find('\0'), std::string::npos) << "the script holds a NUL byte";

  TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
  const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;

  const std::vector<std::string> log = harness.ui.LogTexts();
  for (size_t i = 0; i < columns.size(); ++i) {
    const MatrixColumn& column = columns[i];
    const std::string name = ColumnName(i);
    const std::string order = " FROM matrix ORDER BY id";
    const std::vector<QueryRow> from =
        source.Query("SELECT " + ReadExpression(c.source, name, column.read, column.type) + order);
    const std::vector<QueryRow> to =
        target.Query("SELECT " + ReadExpression(to_postgres ? Engine::Postgres : Engine::MariaDb, name, column.read) +
                     order);
    ASSERT_EQ(from.size(), to.size());
    bool lost_any = false;
    for (size_t r = 0; r < from.size(); ++r) {
      const std::string literal = r < column.values.size() ? column.values[r] : "NULL";
      const bool lost = Contains(column.lost_anywhere, literal) || (!to_postgres && Contains(column.lost_in_mysql, literal));
      lost_any |= lost;
      const std::string expected = lost ? "NULL" : Canonical(from[r].at(0), column.read);
      EXPECT_EQ(Canonical(to[r].at(0), column.read), expected)
          << "type " << column.type << ", value " << literal << ", dialect " << (to_postgres ? "PostgreSQL" : "MySql");
    }
    const bool said = std::any_of(log.begin(), log.end(), [&](const std::string& line) {
      return line.find("column " + name + " :") != std::string::npos;
    });
    EXPECT_EQ(said, lost_any) << "type " << column.type << ", dialect " << (to_postgres ? "PostgreSQL" : "MySql")
                              << ": a red line for the values written NULL, and none otherwise";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypeMatrixRoundTrip,
    ::testing::Values(MatrixCase{"PostgresToPostgres", Engine::Postgres, TargetDialect::PostgreSql},
                      MatrixCase{"PostgresToMySql", Engine::Postgres, TargetDialect::MySql},
                      MatrixCase{"MariaDbToPostgres", Engine::MariaDb, TargetDialect::PostgreSql},
                      MatrixCase{"MariaDbToMySql", Engine::MariaDb, TargetDialect::MySql}),
    [](const ::testing::TestParamInfo<MatrixCase>& info) { return info.param.name; });

// Binary key columns get a type an index holds (no blob), in MySql and
// PostgreSQL alike, and the keys arrive byte for byte.
TEST(TypeMatrixKeys, BinaryKeysAreIndexableAndArriveWhole) {
  TestDatabase source = TestDatabase::MariaDb();
  source.CreateTable({"keys",
                      {{"k", "VARBINARY(16)"}, {"l", "VARBINARY(1000)"}},
                      {"k", "l"},
                      {{"x'00FF275C0D0A'", "x'00'"}, {"x'00FF275C0D'", "REPEAT(x'FF', 1000)"}, {"x''", "x'27'"}}});
  const std::vector<QueryRow> expected = source.Query("SELECT lower(hex(k)), lower(hex(l)) FROM `keys` ORDER BY 1, 2");
  for (const TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
    const bool to_postgres = dialect == TargetDialect::PostgreSql;
    SCOPED_TRACE(to_postgres ? "PostgreSQL" : "MySql");
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.generator.GenerateScript(source.Dsn(), "keys");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    if (!to_postgres) {
      EXPECT_NE(script.find("`k` varbinary(16)"), std::string::npos) << script.substr(0, 600);
      EXPECT_NE(script.find("`l` varbinary(1000)"), std::string::npos) << script.substr(0, 600);
    }
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script.substr(0, 3000);
    const std::vector<QueryRow> arrived =
        target.Query(to_postgres ? "SELECT encode(k,'hex'), encode(l,'hex') FROM keys ORDER BY 1, 2"
                                 : "SELECT lower(hex(k)), lower(hex(l)) FROM `keys` ORDER BY 1, 2");
    EXPECT_EQ(arrived, expected);
  }
}

// MySql keeps a date-time or time declared without fractions plain, and one
// declared with them at their digits, so the values arrive as they are.
TEST(TypeMatrixKeys, MySqlDateTimesKeepTheFractionDigitsOfTheirDeclaredType) {
  TestDatabase source = TestDatabase::MariaDb();
  source.CreateTable({"fractions",
                      {{"id", "INT"}, {"a", "DATETIME"}, {"b", "DATETIME(3)"}, {"c", "DATETIME(6)"}, {"d", "TIME"},
                       {"e", "TIME(6)"}},
                      {"id"},
                      {{"1", "'2004-12-31 10:11:12'", "'2004-12-31 10:11:12.123'", "'2004-12-31 10:11:12.123456'",
                        "'-838:59:59'", "'838:59:59.999999'"}}});
  GeneratorHarness harness;
  harness.settings.format = TargetDialect::MySql;
  harness.generator.GenerateScript(source.Dsn(), "fractions");
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();
  for (const std::string column :
       {"`a` datetime,", "`b` datetime(3),", "`c` datetime(6),", "`d` time,", "`e` time(6)"}) {
    EXPECT_NE(script.find(column), std::string::npos) << column << "\n" << script.substr(0, 600);
  }
  TestDatabase target = TestDatabase::MariaDb();
  const ScriptRun load = RunMariaDbScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
  const std::string select = "SELECT CAST(a AS CHAR), CAST(b AS CHAR), CAST(c AS CHAR), CAST(d AS CHAR), "
                             "CAST(e AS CHAR) FROM fractions";
  EXPECT_EQ(target.Query(select), source.Query(select));
}

}  // namespace
}  // namespace quill::testing
