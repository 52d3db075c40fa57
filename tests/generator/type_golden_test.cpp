// Golden column types and literals of MS SQL, Oracle and Pervasive, one case
// per type and edge value, read from real MariaDB and PostgreSQL tables: the
// types hold the values, binary values are binary literals, a value no type
// holds is NULL with its red line. A failure names the type, the value and
// the dialect. (PostgreSQL and MySql scripts are judged by loading them, in
// the type-matrix round trip.)

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/test_database.h"
#include "generator_harness.h"
#include "platform/text/hex_digits.h"

namespace quill::testing {
namespace {

// The column's definition in CREATE and its value in the INSERT.
struct Expected {
  std::string column;
  std::string value;
  bool said = false;  // the value is written NULL with a red line
};

struct TypeCase {
  Engine source;
  std::string type;
  std::string literal;
  Expected ms_sql;
  Expected oracle;
  Expected pervasive;
};

// Every byte value once, as hexadecimal digits: 000102...FF.
std::string AllBytesHex() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return HexDigits(bytes);
}

const std::vector<TypeCase>& Cases() {
  static const std::string wide_decimal = "99999999999999999999999999999999999.999999999999999999999999999999";
  static const std::vector<TypeCase> cases = {
      {Engine::MariaDb, "VARBINARY(16)", "x'00FF275C0D0A'",
       {"[c] [varbinary] (16)", "0x00FF275C0D0A"},
       {"c raw(16)", "HEXTORAW('00FF275C0D0A')"},
       {"\"c\" longvarbinary", "'00FF275C0D0A'"}},
      {Engine::MariaDb, "VARBINARY(16)", "x''",
       {"[c] [varbinary] (16)", "0x)"},
       {"c raw(16)", "HEXTORAW('')"},
       {"\"c\" longvarbinary", "'');"}},
      {Engine::MariaDb, "BINARY(4)", "x'0027FF00'",
       {"[c] [varbinary] (4)", "0x0027FF00"},
       {"c raw(4)", "HEXTORAW('0027FF00')"},
       {"\"c\" binary(4)", "'0027FF00'"}},
      {Engine::MariaDb, "DECIMAL(20,4)", "-9999999999999999.9999",
       {"[c] [numeric] (20,4)", "'-9999999999999999.9999'"},
       {"c number(20,4)", "'-9999999999999999.9999'"},
       {"\"c\" decimal(20,4)", "'-9999999999999999.9999'"}},
      {Engine::MariaDb, "DECIMAL(65,30)", wide_decimal,
       {"[c] [numeric] (38,19)", "NULL)", true},
       {"c number", "NULL)", true},
       {"\"c\" decimal(38,19)", "NULL);", true}},
      {Engine::MariaDb, "DECIMAL(65,30)", "-0.000000000000000000000000000001",
       {"[c] [numeric] (38,19)", "NULL)", true},
       {"c number", "'-0.000000000000000000000000000001'"},
       {"\"c\" decimal(38,19)", "NULL);", true}},
      {Engine::MariaDb, "DECIMAL(65,30)", "12345.5",
       {"[c] [numeric] (38,19)", "'12345.500000000000000000000000000000'"},
       {"c number", "'12345.500000000000000000000000000000'"},
       {"\"c\" decimal(38,19)", "'12345.500000000000000000000000000000'"}},
      {Engine::Postgres, "float8", "'NaN'",
       {"[c] [float]", "NULL)", true},
       {"c float", "NULL)", true},
       {"\"c\" double", "NULL);", true}},
      // Oracle's number and float end before 1E126 and hold nothing nearer zero than 1E-130
      {Engine::Postgres, "float8", "1.7976931348623157e308",
       {"[c] [float]", "'1.7976931348623157E308'"},
       {"c float", "NULL)", true},
       {"\"c\" double", "'1.7976931348623157E308'"}},
      {Engine::Postgres, "float8", "-5e-324",
       {"[c] [float]", "'-5E-324'"},
       {"c float", "NULL)", true},
       {"\"c\" double", "'-5E-324'"}},
      {Engine::Postgres, "float8", "-9.5e125",
       {"[c] [float]", "'-9.5E125'"},
       {"c float", "'-9.5E125'"},
       {"\"c\" double", "'-9.5E125'"}},
      {Engine::MariaDb, "FLOAT", "1.4e-45",
       {"[c] [float]", "'1E-45'"},
       {"c float", "'1E-45'"},
       {"\"c\" double", "'1E-45'"}},
      {Engine::Postgres, "numeric", "1e130",
       {"[c] [numeric] (38,0)", "NULL)", true},
       {"c number", "NULL)", true},
       {"\"c\" decimal(38,0)", "NULL);", true}},
      {Engine::Postgres, "numeric", "1e-131",
       {"[c] [numeric] (38,37)", "NULL)", true},
       {"c number", "NULL)", true},
       {"\"c\" decimal(38,37)", "NULL);", true}},
      {Engine::Postgres, "numeric", "-1e125",
       {"[c] [numeric] (38,0)", "NULL)", true},
       {"c number", "'-1" + std::string(125, '0') + "'"},
       {"\"c\" decimal(38,0)", "NULL);", true}},
      // bit strings, intervals, money, single floats and all 256 bytes
      {Engine::Postgres, "bit(8)", "B'00000000'",
       {"[c] [nvarchar] (8)", "N'00000000'"},
       {"c varchar2(8)", "'00000000'"},
       {"\"c\" varchar(8)", "'00000000'"}},
      {Engine::Postgres, "interval", "'178000000 years 11 mons 30 days 23:59:59.999999'",
       {"[c] [text]", "'178000000 years 11 mons 30 days 23:59:59.999999'"},
       {"c long", "'178000000 years 11 mons 30 days 23:59:59.999999'"},
       {"\"c\" longvarchar", "'178000000 years 11 mons 30 days 23:59:59.999999'"}},
      {Engine::Postgres, "money", "'-92233720368547758.08'",
       {"[c] [numeric] (19,2)", "'-92233720368547758.08'"},
       {"c number(19,2)", "'-92233720368547758.08'"},
       {"\"c\" decimal(19,2)", "'-92233720368547758.08'"}},
      {Engine::Postgres, "real", "3.14159",
       {"[c] [float]", "'3.14159'"},
       {"c float", "'3.14159'"},
       {"\"c\" double", "'3.14159'"}},
      {Engine::MariaDb, "BIT(64)", "~0",
       {"[c] [varbinary] (8)", "0xFFFFFFFFFFFFFFFF"},
       {"c raw(8)", "HEXTORAW('FFFFFFFFFFFFFFFF')"},
       {"\"c\" binary(8)", "'FFFFFFFFFFFFFFFF'"}},
      {Engine::MariaDb, "VARBINARY(256)", "x'" + AllBytesHex() + "'",
       {"[c] [varbinary] (256)", "0x" + AllBytesHex()},
       {"c raw(256)", "HEXTORAW('" + AllBytesHex() + "')"},
       {"\"c\" longvarbinary", "'" + AllBytesHex() + "'"}},
      {Engine::MariaDb, "DATETIME(3)", "'0001-01-01 00:00:00'",
       {"[c] [DATETIME]", "NULL)", true},
       {"c date", "'0001-01-01'"},
       {"\"c\" timestamp", "'0001-01-01'"}},
      {Engine::MariaDb, "DATETIME(3)", "'1753-01-01 00:00:00'",
       {"[c] [DATETIME]", "'1753-01-01'"},
       {"c date", "'1753-01-01'"},
       {"\"c\" timestamp", "'1753-01-01'"}},
      {Engine::MariaDb, "DATETIME(3)", "'2004-12-31 23:59:59.999'",
       {"[c] [DATETIME]", "'2004-12-31 23:59:59.997'", true},
       {"c date", "'2004-12-31 23:59:59'", true},
       {"\"c\" timestamp", "'2004-12-31 23:59:59.999'"}},
      {Engine::MariaDb, "DATETIME(3)", "'9999-12-31 23:59:59.999'",
       {"[c] [DATETIME]", "'9999-12-31 23:59:59.997'", true},
       {"c date", "'9999-12-31 23:59:59'", true},
       {"\"c\" timestamp", "'9999-12-31 23:59:59.999'"}},
      {Engine::MariaDb, "DATETIME(3)", "'2004-12-31 10:11:12.003'",
       {"[c] [DATETIME]", "'2004-12-31 10:11:12.003'"},
       {"c date", "'2004-12-31 10:11:12'", true},
       {"\"c\" timestamp", "'2004-12-31 10:11:12.003'"}},
      {Engine::MariaDb, "DATE", "'1000-01-01'",
       {"[c] [DATETIME]", "NULL)", true},
       {"c date", "'1000-01-01'"},
       {"\"c\" date", "'1000-01-01'"}},
  };
  return cases;
}

// Values whose type the backend tells beyond the class: MariaDB's TIME is a
// duration, its zero dates are no dates, PostgreSQL's 'infinity' and years BC
// are beyond the calendar, a time with a time zone is an instant.
const std::vector<TypeCase>& CasesByTheBackendsFacts() {
  static const std::vector<TypeCase> cases = {
      {Engine::MariaDb, "TIME(6)", "'-838:59:59.999999'",
       {"[c] [varchar] (20)", "'-838:59:59.999999'"},
       {"c varchar2(20)", "'-838:59:59.999999'"},
       {"\"c\" varchar(20)", "'-838:59:59.999999'"}},
      {Engine::MariaDb, "TIME(6)", "'100:00:00.123456'",
       {"[c] [varchar] (20)", "'100:00:00.123456'"},
       {"c varchar2(20)", "'100:00:00.123456'"},
       {"\"c\" varchar(20)", "'100:00:00.123456'"}},
      {Engine::MariaDb, "DATE", "'0000-00-00'",
       {"[c] [DATETIME]", "NULL)", true},
       {"c date", "NULL)", true},
       {"\"c\" date", "NULL);", true}},
      // PostgreSQL's dates beyond the calendar, and an instant of a time zone
      {Engine::Postgres, "timestamp", "'infinity'",
       {"[c] [DATETIME]", "NULL)", true},
       {"c date", "NULL)", true},
       {"\"c\" timestamp", "NULL);", true}},
      {Engine::Postgres, "date", "'4713-01-01 BC'",
       {"[c] [DATETIME]", "NULL)", true},
       {"c date", "NULL)", true},
       {"\"c\" date", "NULL);", true}},
      {Engine::Postgres, "timestamptz", "'2004-10-19 10:23:54+02'",
       {"[c] [DATETIME]", "08:23:54"},
       {"c date", "08:23:54"},
       {"\"c\" timestamp", "08:23:54"}},
  };
  return cases;
}

std::string DialectName(TargetDialect dialect) {
  switch (dialect) {
    case TargetDialect::MsSql: return "MS SQL";
    case TargetDialect::Oracle: return "Oracle";
    case TargetDialect::Pervasive: return "Pervasive";
    default: return "other";
  }
}

void RunTypeCases(const std::vector<TypeCase>& cases) {
  TestDatabase maria = TestDatabase::MariaDb();
  TestDatabase postgres = TestDatabase::Postgres();
  int table = 0;
  for (const TypeCase& c : cases) {
    TestDatabase& source = c.source == Engine::MariaDb ? maria : postgres;
    const std::string name = "t" + std::to_string(++table);
    source.CreateTable({name, {{"id", c.source == Engine::MariaDb ? "INT" : "integer"}, {"c", c.type}}, {"id"},
                        {{"1", c.literal}}});
    for (const TargetDialect dialect : {TargetDialect::MsSql, TargetDialect::Oracle, TargetDialect::Pervasive}) {
      const Expected& expected = dialect == TargetDialect::MsSql    ? c.ms_sql
                                 : dialect == TargetDialect::Oracle ? c.oracle
                                                                    : c.pervasive;
      const std::string where = "type " + c.type + ", value " + c.literal + ", dialect " + DialectName(dialect);
      GeneratorHarness harness;
      harness.settings.format = dialect;
      harness.generator.GenerateScript(source.Dsn(), c.source == Engine::Postgres ? "public." + name : name);
      ASSERT_EQ(harness.ui.tabs().size(), 1u) << where;
      const std::vector<std::string> script = harness.Script();
      ASSERT_GE(script.size(), 3u) << where;
      EXPECT_NE(script[1].find(expected.column + (dialect == TargetDialect::Pervasive ? "," : "")), std::string::npos)
          << where << "\n" << script[1];
      EXPECT_NE(script[2].find(expected.value), std::string::npos) << where << "\n" << script[2];
      const std::vector<std::string> log = harness.ui.LogTexts();
      const bool said = std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.find(" : column c : ") != std::string::npos;
      });
      EXPECT_EQ(said, expected.said) << where << ": a red line for a value written NULL or changed, else none\n"
                                     << ::testing::PrintToString(log);
    }
  }
}

TEST(TypeGoldenTest, EachTypeHasAColumnTypeThatHoldsItsValuesAndALiteralOfItsOwn) { RunTypeCases(Cases()); }

TEST(TypeGoldenTest, DurationsAndZeroDatesKeepTheirMeaning) { RunTypeCases(CasesByTheBackendsFacts()); }

// MS SQL's key holds 900 bytes: a text or bytea key column gets the widest
// nvarchar or varbinary that fits, and a row whose key is longer is left out
// with a red line, never refused by the engine. nvarchar counts UTF-16 units.
TEST(TypeGoldenTest, MsSqlKeysLongerThanTheIndexLeaveTheirRowsOut) {
  const struct {
    std::string type;
    std::string column;
    std::vector<std::string> kept;  // literals whose rows are written
    std::vector<std::string> left_out;
    std::string reason;
  } cases[] = {
      {"text", "[k] [nvarchar] (450) PRIMARY KEY", {"'short'", "repeat('é', 450)", "repeat('😀', 225)"},
       {"repeat('é', 451)", "repeat('😀', 226)"}, "values longer than the 450 characters the key's index holds"},
      {"bytea", "[k] [varbinary] (900) PRIMARY KEY", {"decode(repeat('ff', 900), 'hex')"},
       {"decode(repeat('00', 901), 'hex')"}, "values longer than the 900 bytes the key's index holds"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("key type " + c.type);
    TestDatabase source = TestDatabase::Postgres();
    std::vector<std::vector<std::string>> rows;
    for (const std::string& literal : c.kept) rows.push_back({literal, std::to_string(rows.size() + 1)});
    for (const std::string& literal : c.left_out) rows.push_back({literal, std::to_string(rows.size() + 1)});
    source.CreateTable({"keyed", {{"k", c.type}, {"n", "integer"}}, {"k"}, rows});
    GeneratorHarness harness;
    harness.settings.format = TargetDialect::MsSql;
    harness.generator.GenerateScript(source.Dsn(), "public.keyed");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::string script = harness.ScriptText();
    EXPECT_NE(script.find(c.column), std::string::npos) << script.substr(0, 300);
    for (size_t n = 1; n <= rows.size(); ++n) {
      const bool kept = n <= c.kept.size();
      EXPECT_EQ(script.find(",'" + std::to_string(n) + "')") != std::string::npos, kept)
          << "row " << n << "\n" << script.substr(0, 600);
    }
    const std::string line = "Table : public.keyed : column k : " + std::to_string(c.left_out.size()) + " " +
                             c.reason + ": in the key, so their rows are left out.";
    const std::vector<std::string> log = harness.ui.LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << ::testing::PrintToString(log);
  }
}

}  // namespace
}  // namespace quill::testing
