// Values and names that must neither break a statement nor be lost: golden
// scripts for MS SQL, Oracle and Pervasive, and PostgreSQL and MySql scripts
// loaded into the real servers, read back value for value.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialect_golden.h"
#include "fixtures/script_loaders.h"
#include "generator/script_header.h"

namespace quill::testing {
namespace {

const std::string kGoValue =
    "'x' || char(13,10) || 'GO' || char(13,10) || 'DROP TABLE victim' || char(13,10) || ' go 5' || char(13,10) || 'y'";

TEST(ScriptSafetyTest, MsSqlGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<DialectGoldenCase> cases = {
      {"a number column holding text is read as text and quoted, Quoted or not; every name bracketed, reserved words too; a line "
       "reading GO is split out with CHAR(); non-ASCII text of any class gets N",
       {"hostile",
        {{"id", "INT"}, {"amount", "DECIMAL(10,2)"}, {"key", "VARCHAR(10)"}, {"note", "TEXT"}, {"cjk", "VARCHAR(10)"}},
        {"id"},
        {{"1", "'0); DROP TABLE victim; --'", "'k'", kGoValue, "'東京'"},
         {"2", "1.5", "NULL", "'a' || char(10) || 'GOOD' || char(10) || 'going'", "'plain'"}}},
       [](Settings& s) { s.quoted = true; },
       {"CREATE TABLE [hostile] (\r\n[id] [int] PRIMARY KEY,\r\n[amount] [varchar] (25),\r\n[key] [varchar] (10),"
        "\r\n[note] [text],\r\n[cjk] [varchar] (10)\r\n)",
        "INSERT INTO [hostile] ([id],[amount],[key],[note],[cjk])\r\n   VALUES (1,'0); DROP TABLE victim; --','k',"
        "'x'+CHAR(13)+CHAR(10)+'GO'+CHAR(13)+CHAR(10)+'DROP TABLE victim'+CHAR(13)+CHAR(10)+' go 5'+CHAR(13)+"
        "CHAR(10)+'y',N'東京')",
        "INSERT INTO [hostile] ([id],[amount],[key],[note],[cjk])\r\n   VALUES (2,'1.5',NULL,'a\nGOOD\ngoing','plain')"}},

      {"a name with a line reading GO keeps its brackets, its line breaks written as blanks",
       {"go names", {{"a\r\ngo\r\nb", "INT"}}, {}, {{"1"}}},
       nullptr,
       {"CREATE TABLE [go names] (\r\n[a  go  b] [int]\r\n)", "INSERT INTO [go names] ([a  go  b])\r\n   VALUES ('1')"}},

      {"a memo key column is an nvarchar the key can hold",
       {"memo key", {{"k", "TEXT"}, {"m", "TEXT"}}, {"k"}, {}},
       nullptr,
       {"CREATE TABLE [memo key] (\r\n[k] [nvarchar] (450) PRIMARY KEY,\r\n[m] [text]\r\n)"}},

      {"with Quoted, a float mask that writes text gives a quoted value",
       {"masked", {{"f", "REAL"}}, {}, {{"2.5"}}},
       [](Settings& s) { s.quoted = true; s.float_format = "0\"); DROP TABLE victim; --\""; DataOnly(s); },
       {"INSERT INTO [masked] ([f])\r\n   VALUES ('3); DROP TABLE victim; --')"}},
  };
  RunDialectGoldenCases(db, TargetDialect::MsSql, cases);
}

TEST(ScriptSafetyTest, OracleGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<DialectGoldenCase> cases = {
      {"reserved words and names that are not plain identifiers are quoted; one long a table, further memo "
       "columns clob, a memo key column varchar2(4000)",
       {"desc",
        {{"date", "DATE"}, {"x/**/int);drop/**/table/**/victim;--", "INT"}, {"tab\there", "INT"}, {"k", "TEXT"},
         {"m1", "TEXT"}, {"m2", "TEXT"}},
        {"k"},
        {{"'2004-12-31'", "1", "2", "'a'", "NULL", "NULL"}}},
       [](Settings& s) { s.drop = true; },
       {"DROP TABLE \"desc\";\r\nCREATE TABLE \"desc\" (\r\n\"date\" date,\r\n\"x/**/int);drop/**/table/**/vic\" "
        "integer,\r\n\"tab\there\" integer,\r\nk varchar2(4000) PRIMARY KEY,\r\nm1 long,\r\nm2 clob\r\n);",
        "INSERT INTO \"desc\" VALUES('2004-12-31','1','2','a',NULL,\r\nNULL);"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Oracle, cases);
}

TEST(ScriptSafetyTest, PervasiveGoldenScripts) {
  TestDatabase db = TestDatabase::Sqlite();
  const std::vector<DialectGoldenCase> cases = {
      {"names and values with quotes stay inside their quotes",
       {"x\"y", {{"a\"b", "VARCHAR(30)"}, {"n", "DECIMAL(10,2)"}}, {}, {{"'''); DROP TABLE victim; --'", "'1); --'"}}},
       nullptr,
       {"CREATE TABLE \"x\"\"y\"\r\n(\"a\"\"b\" char(30),\r\n\"n\" char(6)\r\n);",
        "INSERT INTO \"x\"\"y\" VALUES ('''); DROP TABLE victim; --','1); --');"}},
  };
  RunDialectGoldenCases(db, TargetDialect::Pervasive, cases);
}

// Unsigned integers get types that hold their whole range in every dialect.
TEST(ScriptSafetyTest, UnsignedIntegerTypes) {
  TestDatabase source = TestDatabase::MariaDb();
  source.CreateTable({"uns", {{"big", "BIGINT UNSIGNED"}, {"i", "INT UNSIGNED"}}, {}, {}});
  const struct {
    TargetDialect dialect;
    std::string columns;
  } cases[] = {
      {TargetDialect::MsSql, "[big] [decimal] (20,0),\r\n[i] [bigint]"},
      {TargetDialect::Oracle, "big number(20),\r\ni integer"},
      {TargetDialect::Pervasive, "\"big\" decimal(20,0),\r\n\"i\" bigint"},
      {TargetDialect::MySql, "`big` bigint(20) unsigned,\r\n`i` int(11) unsigned"},
      {TargetDialect::PostgreSql, "\"big\" numeric(20),\r\n\"i\" bigint"},
  };
  for (const auto& c : cases) {
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.generator.GenerateScript(source.Dsn(), "uns");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_NE(harness.ScriptText().find(c.columns), std::string::npos) << harness.ScriptText();
  }
}

// Option texts that end up inside expressions (date formats) are quoted
// literals there, so a hostile one stays inside its quotes in every dialect.
TEST(ScriptSafetyTest, DateFormatOptionsStayInsideTheirLiterals) {
  TestDatabase db = TestDatabase::Sqlite();
  const TableDescription table{"fmt", {{"d", "DATE"}}, {}, {{"'2004-12-31'"}}};
  const std::string hostile = "YYYY'); DROP TABLE victim; --";
  const struct {
    TargetDialect dialect;
    std::function<void(Settings&)> options;
    std::string row;
  } cases[] = {
      {TargetDialect::Oracle, [&](Settings& s) { s.or_format = hostile; },
       "INSERT INTO fmt VALUES(TO_DATE('2004-12-31',\r\n'YYYY''); DROP TABLE victim; --'));"},
      {TargetDialect::MySql, [&](Settings& s) { s.my_format = "%Y\\" + hostile; },
       "INSERT INTO `fmt` VALUES(STR_TO_DATE('2004-12-31',\r\n'%Y\\\\YYYY''); DROP TABLE victim; --'));"},
      {TargetDialect::PostgreSql, [&](Settings& s) { s.post_form_type = 1; s.po_date_format = hostile; },
       "INSERT INTO \"fmt\" (\"d\")\r\n   VALUES (to_date('2004-12-31','YYYY''); DROP TABLE victim; --'));"},
      {TargetDialect::Pervasive, [&](Settings& s) { s.pe_format = "yyyy'-'mm\"'); DROP TABLE victim; --\""; },
       "INSERT INTO \"fmt\" VALUES ('2004-12''); DROP TABLE victim; --');"},
  };
  db.CreateTable(table);
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.dialect));
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.content = ContentMode::DataOnly;
    harness.settings.formatting = true;
    c.options(harness.settings);
    harness.generator.GenerateScript(db.Dsn(), "fmt");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(DialectTableItems(harness), std::vector<std::string>{c.row});
  }
}

// MS SQL's DATETIME takes a fraction of at most milliseconds; its time
// columns are text and keep every digit. Oracle's date takes none.
TEST(ScriptSafetyTest, DateTimeFractionsAsFineAsTheTargetTypeHolds) {
  TestDatabase source = TestDatabase::Postgres();
  const std::vector<DialectGoldenCase> cases = {
      {"fractions: milliseconds in date-times, every digit in times; a fraction below them leaves a date",
       {"frac", {{"ts", "timestamp"}, {"t", "time"}}, {},
        {{"'2004-12-31 10:11:12.123456'", "'23:59:59.999999'"}, {"'2004-12-31 00:00:00.0001'", "'00:00:00.5'"}}},
       DataOnly,
       {"INSERT INTO [frac] ([ts],[t])\r\n   VALUES ('2004-12-31 10:11:12.123','23:59:59.999999')",
        "INSERT INTO [frac] ([ts],[t])\r\n   VALUES ('2004-12-31','00:00:00.5')"}},
  };
  RunDialectGoldenCases(source, TargetDialect::MsSql, cases);
  // Oracle's date holds whole seconds and TO_DATE reads no fraction.
  RunDialectGoldenCases(source, TargetDialect::Oracle,
                        {{"Oracle: whole seconds, with and without TO_DATE",
                          {"ofrac", {{"ts", "timestamp"}}, {}, {{"'2004-12-31 10:11:12.5'"}}},
                          [](Settings& s) { s.formatting = true; s.or_format = "YYYY-MM-DD HH24:MI:SS"; DataOnly(s); },
                          {"INSERT INTO ofrac VALUES(TO_DATE('2004-12-31 10:11:12',\r\n'YYYY-MM-DD HH24:MI:SS'));"}},
                         {"Oracle: whole seconds as text", {"ofrac", {}, {}, {}}, DataOnly,
                          {"INSERT INTO ofrac VALUES('2004-12-31 10:11:12');"}}});
}

// NaN and infinities: PostgreSQL's decimal holds them; the other dialects
// write NULL and log the column in red.
TEST(ScriptSafetyTest, NotANumberIsNullWhereTheDialectCannotHoldIt) {
  TestDatabase source = TestDatabase::Postgres();
  source.CreateTable({"odd", {{"id", "integer"}, {"f", "float8"}, {"n", "numeric"}}, {"id"},
                      {{"1", "'NaN'", "'NaN'"}, {"2", "'Infinity'", "1.5"}, {"3", "'-Infinity'", "2"}}});
  const struct {
    TargetDialect dialect;
    std::string first_row;
  } cases[] = {
      {TargetDialect::MsSql, "INSERT INTO [odd] ([id],[f],[n])\r\n   VALUES ('1',NULL,NULL)"},
      {TargetDialect::Oracle, "INSERT INTO odd VALUES('1',NULL,NULL);"},
      {TargetDialect::Pervasive, "INSERT INTO \"odd\" VALUES ('1',NULL,NULL);"},
      {TargetDialect::MySql, "INSERT INTO `odd` VALUES('1',NULL,NULL);"},
      {TargetDialect::PostgreSql, "INSERT INTO \"odd\" (\"id\",\"f\",\"n\")\r\n   VALUES ('1','NaN','NaN');"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.dialect));
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.content = ContentMode::DataOnly;
    harness.generator.GenerateScript(source.Dsn(), "public.odd");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::vector<std::string> items = DialectTableItems(harness);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], c.first_row);
    int red_lines = 0;
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.text.find("column f") != std::string::npos || line.text.find("column n") != std::string::npos) {
        ++red_lines;
        EXPECT_NE(line.text.find("public.odd"), std::string::npos) << line.text;
      }
    }
    EXPECT_EQ(red_lines, c.dialect == TargetDialect::PostgreSql ? 0 : 2);
  }
}

// One source table, scripted and loaded into the target, read back.
struct LoadCase {
  std::string name;
  Engine source;
  TableDescription table;
  std::string select;  // of the target, columns in the target's spelling
  std::vector<std::vector<std::string>> expected;
};

std::vector<std::vector<std::string>> Rows(const std::vector<QueryRow>& rows) {
  std::vector<std::vector<std::string>> texts;
  for (const QueryRow& row : rows) {
    std::vector<std::string> values;
    for (const std::optional<std::string>& value : row) values.push_back(value.value_or("<NULL>"));
    texts.push_back(values);
  }
  return texts;
}

TestDatabase Source(Engine engine) {
  if (engine == Engine::Sqlite) return TestDatabase::Sqlite();
  if (engine == Engine::Postgres) return TestDatabase::Postgres();
  return TestDatabase::MariaDb();
}

std::string ListedName(Engine engine, const std::string& table) {
  return engine == Engine::Postgres ? "public." + table : table;
}

// Loads the script into a target that holds a table `victim`, which must
// still be there afterwards.
void LoadAndCompare(const LoadCase& c, TargetDialect dialect, const std::string& select,
                    const std::function<void(Settings&)>& options = nullptr) {
  SCOPED_TRACE(c.name + (dialect == TargetDialect::MySql ? " to MySql" : " to PostgreSQL"));
  TestDatabase source = Source(c.source);
  source.CreateTable(c.table);
  GeneratorHarness harness;
  harness.settings.format = dialect;
  if (options) options(harness.settings);
  harness.generator.GenerateScript(source.Dsn(), ListedName(c.source, c.table.name));
  ASSERT_EQ(harness.ui.tabs().size(), 1u);
  const std::string script = harness.ScriptText();
  const bool to_postgres = dialect == TargetDialect::PostgreSql;
  TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
  target.Execute("CREATE TABLE victim (v integer)");
  const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
  ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
  EXPECT_EQ(target.Query("SELECT count(*) FROM victim").size(), 1u);
  EXPECT_EQ(Rows(target.Query(select)), c.expected) << script;
}

TEST(ScriptSafetyTest, HostileNamesAndValuesLoadIntoTheRealServersWhole) {
  const std::string nasty = "'); DROP TABLE victim; --";
  const TableDescription table{
      "h",
      {{"id", "INT"}, {"key", "TEXT"}, {"x/**/int);drop/**/table/**/victim;--", "TEXT"},
       {"tab\tname", "TEXT"}},
      {"id"},
      {{"1", "'''); DROP TABLE victim; --'", "'\\''); DROP TABLE victim; --'", "'$$; DROP TABLE victim; $$'"},
       {"2", "'*/ -- ' || char(13,10) || 'GO' || char(13,10) || ';'", "'ends \\'", "'`); DROP TABLE victim; --'"}}};
  const std::vector<std::vector<std::string>> expected = {
      {"1", nasty, "\\" + nasty, "$$; DROP TABLE victim; $$"},
      {"2", "*/ -- \r\nGO\r\n;", "ends \\", "`); DROP TABLE victim; --"}};
  const LoadCase c{"hostile", Engine::Sqlite, table, "", expected};
  LoadAndCompare(c, TargetDialect::PostgreSql,
                 "SELECT id, \"key\", \"x/**/int);drop/**/table/**/victim;--\", \"tab\tname\" FROM h ORDER BY id");
  LoadAndCompare(c, TargetDialect::MySql,
                 "SELECT id, `key`, `x/**/int);drop/**/table/**/victim;--`, `tab\tname` FROM h ORDER BY id");
}

// Types the real engines must accept, with the values they must give back.
TEST(ScriptSafetyTest, TypeMapsHoldRealKeysAndValues) {
  const std::string long_key(700, 'k');
  const std::vector<LoadCase> cases = {
      {"text keys, one and two columns",
       Engine::Sqlite,
       {"tk", {{"a", "TEXT"}, {"b", "TEXT"}, {"v", "INT"}}, {"a", "b"},
        {{"'" + long_key.substr(0, 300) + "'", "'x'", "1"}, {"'Zoë Ñandú'", "'ÄÖÜ ß'", "2"}}},
       "SELECT a, b, v FROM tk ORDER BY v",
       {{long_key.substr(0, 300), "x", "1"}, {"Zoë Ñandú", "ÄÖÜ ß", "2"}}},
      {"a key of four varchar(255) columns, too wide for the index as declared",
       Engine::Sqlite,
       {"wide_key", {{"a", "VARCHAR(255)"}, {"b", "VARCHAR(255)"}, {"c", "VARCHAR(255)"}, {"d", "VARCHAR(255)"}},
        {"a", "b", "c", "d"}, {{"'a'", "'b'", "'c'", "'" + std::string(192, 'd') + "'"}}},
       "SELECT RTRIM(a), RTRIM(b), RTRIM(c), RTRIM(d) FROM wide_key",
       {{"a", "b", "c", std::string(192, 'd')}}},
      {"a decimal keeps every digit",
       Engine::Postgres,
       {"decs", {{"id", "integer"}, {"d", "numeric(38,10)"}}, {"id"},
        {{"1", "1234567890123456789012345678.1234567891"}, {"2", "-0.0000000001"}}},
       "SELECT id, d FROM decs ORDER BY id",
       {{"1", "1234567890123456789012345678.1234567891"}, {"2", "-0.0000000001"}}},
      {"unsigned integers keep their range",
       Engine::MariaDb,
       {"uns", {{"id", "INT"}, {"big", "BIGINT UNSIGNED"}, {"i", "INT UNSIGNED"}}, {"id"},
        {{"1", "18446744073709551615", "4294967295"}, {"2", "0", "0"}}},
       "SELECT id, big, i FROM uns ORDER BY id",
       {{"1", "18446744073709551615", "4294967295"}, {"2", "0", "0"}}},
  };
  for (const LoadCase& c : cases) {
    LoadAndCompare(c, TargetDialect::PostgreSql, c.select);
    LoadAndCompare(c, TargetDialect::MySql, c.select);
  }
}

TEST(ScriptSafetyTest, FractionsOfSecondsAreKept) {
  LoadCase c{"fractions",
             Engine::Postgres,
             {"frac", {{"id", "integer"}, {"t", "time"}, {"ts", "timestamp"}}, {"id"},
              {{"1", "'23:59:59.999999'", "'2004-12-31 10:11:12.5'"}, {"2", "'10:00:00'", "'2004-12-31'"}}},
             "",
             {{"1", "23:59:59.999999", "2004-12-31 10:11:12.5"}, {"2", "10:00:00", "2004-12-31 00:00:00"}}};
  LoadAndCompare(c, TargetDialect::PostgreSql, "SELECT id, t::text, ts::text FROM frac ORDER BY id");
  c.expected = {{"1", "23:59:59.999999", "2004-12-31 10:11:12.500000"},
                {"2", "10:00:00.000000", "2004-12-31 00:00:00.000000"}};
  LoadAndCompare(c, TargetDialect::MySql, "SELECT id, t, ts FROM frac ORDER BY id");
}

// With date formatting the user's format reads whole seconds; a fraction
// reaches the target as microseconds added to the date.
TEST(ScriptSafetyTest, FormattedDateTimesKeepTheirFractions) {
  const LoadCase c{"formatted fractions",
                   Engine::Postgres,
                   {"ffrac", {{"id", "integer"}, {"ts", "timestamp"}}, {"id"},
                    {{"1", "'2004-12-31 10:11:12.5'"}, {"2", "'2004-12-31 10:11:12'"}}},
                   "",
                   {}};
  const struct {
    TargetDialect dialect;
    std::function<void(Settings&)> options;
    std::string select;
    std::vector<std::vector<std::string>> expected;
  } cases[] = {
      {TargetDialect::MySql, [](Settings& s) { s.my_format = "%Y-%m-%d %H:%i:%s"; },
       "SELECT id, ts FROM ffrac ORDER BY id",
       {{"1", "2004-12-31 10:11:12.500000"}, {"2", "2004-12-31 10:11:12.000000"}}},
      {TargetDialect::PostgreSql, [](Settings& s) { s.post_form_type = 1; s.po_time_format = "YYYY-MM-DD HH24:MI:SS"; },
       "SELECT id, ts::text FROM ffrac ORDER BY id", {{"1", "2004-12-31 10:11:12.5"}, {"2", "2004-12-31 10:11:12"}}},
  };
  for (const auto& d : cases) {
    LoadCase load = c;
    load.expected = d.expected;
    LoadAndCompare(load, d.dialect, d.select, [&](Settings& s) {
      s.formatting = true;
      d.options(s);
    });
  }
}

// A value MySql's column cannot hold whole fails the table with the run's
// error line; it is never cut or rounded.
TEST(ScriptSafetyTest, AValueMySqlCannotHoldWholeFailsTheTable) {
  const struct {
    Engine source;
    TableDescription table;
    std::string error;
  } cases[] = {
      {Engine::Sqlite, {"longkey", {{"k", "TEXT"}}, {"k"}, {{"'" + std::string(769, 'k') + "'"}}},
       "Error with table : longkey : a value of the key column k is longer than the 768 characters"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table.name);
    TestDatabase source = Source(c.source);
    source.CreateTable(c.table);
    GeneratorHarness harness;
    harness.settings.format = TargetDialect::MySql;
    harness.generator.GenerateScript(source.Dsn(), ListedName(c.source, c.table.name));
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    bool error_logged = false;
    for (const std::string& line : harness.ui.LogTexts()) {
      error_logged = error_logged || line.find(c.error) != std::string::npos;
    }
    EXPECT_TRUE(error_logged) << ::testing::PrintToString(harness.ui.LogTexts());
  }
}

// --- Scripts that mean the same in every session -----------------------------

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

std::string WithoutNul(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

// One hostile value: how the SQLite source writes it, and its bytes.
struct HostileValue {
  std::string sqlite;
  std::string bytes;
};

std::string RepeatedText(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

std::vector<HostileValue> HostileValues() {
  using namespace std::string_literals;
  return {
      {R"('\''); DROP TABLE victim; --')", R"(\'); DROP TABLE victim; --)"},
      {R"('x\' || char(13,10) || ''');DROP TABLE victim;--')", "x\\\r\n');DROP TABLE victim;--"},
      {"char(97,0,98) || '''); DROP TABLE victim; --'", "a\0b'); DROP TABLE victim; --"s},
      {"char(1,26,27,12,8,127,11) || 'x'", "\x01\x1A\x1B\x0C\x08\x7F\x0Bx"},
      {"'x' || char(13,10) || '/' || char(13,10) || '  /  ' || char(10) || 'DROP TABLE victim;' || char(10) || "
       "char(9) || '/' || char(13,10) || 'y'",
       "x\r\n/\r\n  /  \nDROP TABLE victim;\n\t/\r\ny"},
      {"'x' || char(13,10) || 'GO' || char(13,10) || ' go 5' || char(13,10) || 'DROP TABLE victim' || char(13,10) || "
       "'!! echo hi' || char(10) || ':r x' || char(10) || 'quit'",
       "x\r\nGO\r\n go 5\r\nDROP TABLE victim\r\n!! echo hi\n:r x\nquit"},
      {"'a' || char(13) || 'b' || char(10) || 'c' || char(13,10,13,10) || 'DROP TABLE victim;' || char(13,10) || '.' "
       "|| char(13,10) || '#host x' || char(13,10)",
       "a\rb\nc\r\n\r\nDROP TABLE victim;\r\n.\r\n#host x\r\n"},
      {"'a; -- b /* c */ d; /* e'", "a; -- b /* c */ d; /* e"},
      {R"(char(10) || '\! echo hi' || char(10) || '\q' || char(10) || '\0 \n \Z' || char(10) || 'ends \')",
       "\n\\! echo hi\n\\q\n\\0 \\n \\Z\nends \\"},
      {"'Zoë 東京 ''q'''", "Zoë 東京 'q'"},
      {"'AT&T &&x & y $(PATH) $ (z)'", "AT&T &&x & y $(PATH) $ (z)"},      {"'x' || char(10) || '\\.' || char(13,10) || '\\g' || char(10) || '\\gexec' || char(13) || '\\i /etc/passwd' || "
       "char(10) || ':foo :''bar'' :\"baz\" \\set x 1' || char(10) || 'DELIMITER ;;' || char(10) || 'delimiter //'",
       "x\n\\.\r\n\\g\n\\gexec\r\\i /etc/passwd\n:foo :'bar' :\"baz\" \\set x 1\nDELIMITER ;;\ndelimiter //"},
      {"'a' || char(8232) || 'b' || char(8233) || 'c' || char(8238) || 'd' || char(8207) || char(65279) || char(133) || 'e'",
       "a\u2028b\u2029c\u202Ed\u200F\uFEFF\u0085e"},
      {"char(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,127)",
       "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
       "\x1A\x1B\x1C\x1D\x1E\x1F\x7F"},
      {"replace(hex(zeroblob(150)), '00', ''',\\$$')", RepeatedText("',\\$$", 150)},
  };
}

const std::string kHostileColumn = "n\\'\"`; --/*";

TableDescription HostileValueTable() {
  TableDescription table{"hv", {{"id", "INT"}, {"v", "TEXT"}, {kHostileColumn, "TEXT"}}, {"id"}, {}};
  int id = 0;
  for (const HostileValue& value : HostileValues()) {
    table.rows.push_back({std::to_string(++id), value.sqlite, "'k'"});
  }
  return table;
}

struct HostileSession {
  std::string name;
  std::string setup;  // PGOPTIONS for psql, a statement run at connection for the mariadb client
  std::string after;  // MySql: what the session's own settings read after the script
};

// Each hostile value is scripted from SQLite, loaded into the real server in
// a session set up the way a hostile target is, and read back byte for
// byte; the table `victim` is still there afterwards, and a MySql session
// gets its own sql_mode and character set back at the end of the script.
TEST(ScriptSafetyTest, HostileValuesLoadWholeIntoHostileSessions) {
  TestDatabase source = TestDatabase::Sqlite();
  source.CreateTable(HostileValueTable());
  const std::vector<HostileValue> values = HostileValues();
  const struct {
    TargetDialect dialect;
    std::vector<HostileSession> sessions;
  } cases[] = {
      {TargetDialect::PostgreSql,
       {{"standard_conforming_strings off", "-c standard_conforming_strings=off -c backslash_quote=on", ""},
        {"standard_conforming_strings on", "-c standard_conforming_strings=on", ""}}},
      {TargetDialect::MySql,
       {{"NO_BACKSLASH_ESCAPES", "SET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES'", "NO_BACKSLASH_ESCAPES\tutf8mb4"},
        {"ANSI with NO_BACKSLASH_ESCAPES",
         "SET SESSION sql_mode = 'ANSI,NO_BACKSLASH_ESCAPES,STRICT_ALL_TABLES,EMPTY_STRING_IS_NULL'",
         "ANSI,NO_BACKSLASH_ESCAPES,STRICT_ALL_TABLES,EMPTY_STRING_IS_NULL\tutf8mb4"},
        {"ORACLE with NO_BACKSLASH_ESCAPES", "SET SESSION sql_mode = 'ORACLE,NO_BACKSLASH_ESCAPES'",
         "ORACLE,NO_KEY_OPTIONS,NO_TABLE_OPTIONS,NO_FIELD_OPTIONS,NO_BACKSLASH_ESCAPES"},
        {"latin1", "SET NAMES latin1", "\tlatin1"}}},
  };
  for (const auto& c : cases) {
    const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.generator.GenerateScript(source.Dsn(), "hv");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    std::string script = harness.ScriptText();
    // PostgreSQL text holds no NUL: dropped, with one red line for the column.
    int nul_lines = 0;
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.text.find("NUL") == std::string::npos) continue;
      ++nul_lines;
      EXPECT_EQ(line.text,
                "Table : hv : column v : 1 values with NUL characters, which PostgreSQL text cannot hold: NUL dropped.");
    }
    EXPECT_EQ(nul_lines, to_postgres ? 1 : 0);
    if (!to_postgres) script += "SELECT @@SESSION.sql_mode AS mode_after, @@SESSION.character_set_client AS cs;\r\n";
    for (const HostileSession& session : c.sessions) {
      SCOPED_TRACE(session.name);
      TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
      target.Execute("CREATE TABLE victim (v integer)");
      const ScriptRun load =
          to_postgres ? RunPsqlScript(target, script, session.setup) : RunMariaDbScript(target, script, session.setup);
      ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
      EXPECT_EQ(target.Query("SELECT count(*) FROM victim").size(), 1u);
      const std::vector<std::vector<std::string>> rows =
          Rows(target.Query(to_postgres ? "SELECT id, upper(encode(convert_to(v, 'UTF8'), 'hex')) FROM hv ORDER BY id"
                                        : "SELECT id, HEX(v) FROM hv ORDER BY id"));
      ASSERT_EQ(rows.size(), values.size()) << script;
      for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(::testing::PrintToString(values[i].bytes));
        EXPECT_EQ(rows[i][1], Hex(to_postgres ? WithoutNul(values[i].bytes) : values[i].bytes));
      }
      EXPECT_EQ(Rows(target.Query("SELECT count(*) FROM hv WHERE " + target.Quote(kHostileColumn) + " = 'k'")),
                (std::vector<std::vector<std::string>>{{std::to_string(values.size())}}));
      if (!session.after.empty()) {
        EXPECT_NE(load.output.find(session.after), std::string::npos) << load.output;
      }
    }
  }
}

// The lines of one script item (statement).
std::vector<std::string> ItemLines(const std::string& item) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t brk = item.find_first_of("\r\n", start);
    lines.push_back(item.substr(start, brk == std::string::npos ? std::string::npos : brk - start));
    if (brk == std::string::npos) return lines;
    start = brk + (item[brk] == '\r' && brk + 1 < item.size() && item[brk + 1] == '\n' ? 2 : 1);
  }
}

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
}

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// What a script must never hold, looked at as the client reads it: no
// command byte anywhere, and no line inside a statement that the client
// reads as a command.
void ExpectNoCommandBytesOrLines(TargetDialect dialect, const std::vector<std::string>& items) {
  for (const std::string& item : items) {
    SCOPED_TRACE(::testing::PrintToString(item));
    for (const char ch : item) {
      const auto byte = static_cast<unsigned char>(ch);
      EXPECT_FALSE(byte < 0x20 && ch != '\t' && ch != '\r' && ch != '\n') << "raw byte " << static_cast<int>(byte);
    }
    const std::vector<std::string> lines = ItemLines(item);
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string line = Trimmed(lines[i]);
      const std::string upper = Upper(line);
      const bool inside = i + 1 < lines.size();  // not the statement's last line
      switch (dialect) {
        case TargetDialect::MsSql:
          for (const std::string word : {"GO", "EXIT", "QUIT", "ED", "RESET"}) {
            EXPECT_FALSE(upper == word || upper.starts_with(word + " ")) << line;
          }
          EXPECT_FALSE(i > 0 && (line.starts_with("!!") || line.starts_with(":"))) << line;
          EXPECT_EQ(line.find("$("), std::string::npos) << line;
          break;
        case TargetDialect::Oracle:
          EXPECT_FALSE(line == "/" || line == "." || line.starts_with("#")) << line;
          EXPECT_FALSE(inside && (line.empty() || line.ends_with(";"))) << line;
          for (size_t at = line.find('&'); at != std::string::npos; at = line.find('&', at + 1)) {
            EXPECT_TRUE(at + 1 == line.size() || line[at + 1] == ' ') << line;
          }
          break;
        case TargetDialect::Pervasive: EXPECT_NE(line, "/"); break;
        default: break;
      }
    }
  }
}

TEST(ScriptSafetyTest, NoCommandByteOrCommandLineInMsSqlOracleAndPervasiveScripts) {
  TestDatabase source = TestDatabase::Sqlite();
  TableDescription table = HostileValueTable();
  // Names with the same lines and bytes as the values.
  table.name = "t\r\n/\r\nGO\r\n#x";  // no point: that would part a schema
  table.columns[1].name = "v\x01\r\n/ \r\n\r\n go";
  source.CreateTable(table);
  for (const TargetDialect dialect : {TargetDialect::MsSql, TargetDialect::Oracle, TargetDialect::Pervasive}) {
    SCOPED_TRACE(DialectName(dialect));
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.generator.GenerateScript(source.Dsn(), table.name);
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    const std::vector<std::string> items = DialectTableItems(harness);
    ASSERT_EQ(items.size(), HostileValues().size() + 1)
        << harness.ScriptText() << ::testing::PrintToString(harness.ui.LogTexts());
    ExpectNoCommandBytesOrLines(dialect, items);
  }
}

// The forms the values take, dialect by dialect: joined only where a byte
// or a line needs it.
TEST(ScriptSafetyTest, CommandBytesAndLinesGoldenForms) {
  const TableDescription table{"cmd",
                               {{"v", "TEXT"}},
                               {},
                               {{"'a' || char(13,10) || ' / ' || char(13,10) || 'b'"},
                                {"char(97,0,26,98)"},
                                {"'p' || char(13,10,13,10) || 'q'"}}};
  const struct {
    TargetDialect dialect;
    std::vector<std::string> rows;
    std::string red_line;
  } cases[] = {
      {TargetDialect::Oracle,
       {"INSERT INTO cmd VALUES('a'||CHR(13)||CHR(10)||' / '||CHR(13)||CHR(10)||'b');",
        "INSERT INTO cmd VALUES('a'||CHR(0)||CHR(26)||'b');",
        "INSERT INTO cmd VALUES('p'||CHR(13)||CHR(10)||CHR(13)||CHR(10)||'q');"},
       ""},
      {TargetDialect::Pervasive,
       {"INSERT INTO \"cmd\" VALUES (CONCAT(CONCAT('a',CONCAT(CHAR(13),CHAR(10))),CONCAT(CONCAT(' / ',CHAR(13)),"
        "CONCAT(CHAR(10),'b'))));",
        "INSERT INTO \"cmd\" VALUES (CONCAT('a',CONCAT(CHAR(26),'b')));", "INSERT INTO \"cmd\" VALUES ('p\r\n\r\nq');"},
       "Table : cmd : column v : 1 values with NUL characters, which Pervasive text cannot hold: NUL dropped."},
      {TargetDialect::MsSql,
       {"INSERT INTO [cmd] ([v])\r\n   VALUES ('a\r\n / \r\nb')",
        "INSERT INTO [cmd] ([v])\r\n   VALUES ('a'+CHAR(0)+CHAR(26)+'b')",
        "INSERT INTO [cmd] ([v])\r\n   VALUES ('p\r\n\r\nq')"},
       ""},
      {TargetDialect::MySql,
       {"INSERT INTO `cmd` VALUES('a\\r\\n / \\r\\nb');", "INSERT INTO `cmd` VALUES('a\\0\\Zb');",
        "INSERT INTO `cmd` VALUES('p\\r\\n\\r\\nq');"},
       ""},
  };
  TestDatabase db = TestDatabase::Sqlite();
  db.CreateTable(table);
  for (const auto& c : cases) {
    SCOPED_TRACE(DialectName(c.dialect));
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.settings.content = ContentMode::DataOnly;
    harness.generator.GenerateScript(db.Dsn(), "cmd");
    ASSERT_EQ(harness.ui.tabs().size(), 1u);
    EXPECT_EQ(DialectTableItems(harness), c.rows);
    std::vector<std::string> red;
    for (const LogLine& line : harness.ui.log_lines()) {
      if (line.text.find("NUL") != std::string::npos) red.push_back(line.text);
    }
    EXPECT_EQ(red, c.red_line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.red_line});
  }
}

// --- Names of every character class -------------------------------------------

// Column and table names a SQLite file can hold, each a character class that
// a client or a statement could read as more than a name.
std::vector<std::string> HostileNames() {
  return {
      "a\\b",         "c`d",        "e\"f",        "g'h",          "i]j[",       "k*/l",        "m--n",
      "o#p",          "q;r",        "s\nt",        "u\rv",         "w\r\nGO\r\nx", "y\u2028z\u2029", "\u202Eevil",
      "select",       "from",       "Order",       "$$x$$",        ":var",       "&amp",        "\\g",
      "\\",           "'; DROP TABLE victim; --", std::string(100, 'L') + "1", std::string(100, 'L') + "2",
      "tab\there",    "/",          "\\.",         "Ärger",        "ärger",       ".x",          "x.",
  };
}

// Every hostile name as a column of one table and as the name of a table of
// its own; the scripts load whole into hostile sessions of the real servers,
// with a column and a row for each, and the table `victim` still there.
TEST(ScriptSafetyTest, HostileNamesLoadIntoHostileSessions) {
  TestDatabase source = TestDatabase::Sqlite();
  const std::vector<std::string> names = HostileNames();
  TableDescription columns{"cols", {{"id", "INT"}}, {"id"}, {{"1"}}};
  for (const std::string& name : names) {
    columns.columns.push_back({name, "TEXT"});
    columns.rows[0].push_back("'v'");
  }
  source.CreateTable(columns);
  std::vector<std::string> tables = {"cols"};
  for (const std::string& name : names) {
    source.CreateTable({name, {{name, "INT"}}, {}, {{"7"}}});
    tables.push_back(name);
  }
  const struct {
    TargetDialect dialect;
    std::string session;
  } cases[] = {
      {TargetDialect::PostgreSql, "-c standard_conforming_strings=off -c backslash_quote=on"},
      {TargetDialect::PostgreSql, ""},
      {TargetDialect::MySql, "SET SESSION sql_mode = 'ANSI,NO_BACKSLASH_ESCAPES'"},
      {TargetDialect::MySql, "SET SESSION sql_mode = 'ORACLE'"},
      {TargetDialect::MySql, ""},
  };
  for (const auto& c : cases) {
    const bool to_postgres = c.dialect == TargetDialect::PostgreSql;
    SCOPED_TRACE(std::string(to_postgres ? "PostgreSQL" : "MySql") + " session " + c.session);
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    target.Execute("CREATE TABLE victim (v integer)");
    // One run, so that names the target would cut to one are kept apart.
    GeneratorHarness harness;
    harness.settings.format = c.dialect;
    harness.ui.AnswerTableSelection(tables);
    harness.ui.AnswerMessageBox(MessageAnswer::No);  // no foreign keys
    harness.generator.GenerateScript(source.Dsn(), "");
    ASSERT_EQ(harness.ui.tabs().size(), 1u) << ::testing::PrintToString(harness.ui.LogTexts());
    const std::string script = harness.ScriptText();
    const ScriptRun load =
        to_postgres ? RunPsqlScript(target, script, c.session) : RunMariaDbScript(target, script, c.session);
    ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script;
    EXPECT_EQ(target.Query("SELECT count(*) FROM victim").size(), 1u);
    const std::string tables_query =
        to_postgres ? "SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'"
                    : "SELECT count(*) FROM information_schema.tables WHERE table_schema = DATABASE()";
    EXPECT_EQ(Rows(target.Query(tables_query)),
              (std::vector<std::vector<std::string>>{{std::to_string(tables.size() + 1)}}))
        << ::testing::PrintToString(harness.ui.LogTexts());
    const std::string columns_query =
        to_postgres ? "SELECT count(*) FROM information_schema.columns WHERE table_schema = 'public' AND "
                      "table_name = 'cols'"
                    : "SELECT count(*) FROM information_schema.columns WHERE table_schema = DATABASE() AND "
                      "table_name = 'cols'";
    EXPECT_EQ(Rows(target.Query(columns_query)),
              (std::vector<std::vector<std::string>>{{std::to_string(names.size() + 1)}}));
    EXPECT_EQ(Rows(target.Query("SELECT count(*) FROM cols")), (std::vector<std::vector<std::string>>{{"1"}}));
  }
}

}  // namespace
}  // namespace quill::testing
