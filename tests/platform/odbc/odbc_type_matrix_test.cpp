// Every type of the PostgreSQL and MariaDB servers: what the dataset reports
// of each column (class, size, facts) and that each edge value arrives whole.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fixtures/odbc_data_sources.h"
#include "fixtures/test_database.h"
#include "fixtures/test_servers.h"
#include "generator/generator_harness.h"
#include "odbc_test_support.h"
#include "platform/formatting/format_settings.h"
#include "platform/odbc/mariadb_key_paging.h"

namespace quill::testing {
namespace {

constexpr int kAnySize = -1;

// What a column must be, beyond its class and size.
struct Facts {
  bool single = false;
  bool duration = false;
  int fraction_digits = -1;
  int scale = -1;  // decimals only
  bool zero_date = false;
  std::optional<std::string> beyond_calendar = std::nullopt;  // the source's text kept
  std::optional<DateTime> date_time = std::nullopt;  // dates and times: the value's parts
};

struct TypeCase {
  std::string type;      // as declared
  std::string literal;   // the value, as SQL
  std::string class_name;
  int size;              // Field::Size(), or kAnySize
  std::optional<std::string> text;  // the field text; none for NULL
  Facts facts = {};
};

int Characters(const std::string& text) {
  int count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

bool IsSizedText(const std::string& class_name) {
  return class_name == "TStringField" || class_name == "TWideStringField";
}

// One table with a column per case (c0, c1, ...) and one row of the cases'
// values.
void CreateMatrix(TestDatabase& database, const std::vector<TypeCase>& cases) {
  std::string create = "CREATE TABLE matrix (";
  std::string insert = "INSERT INTO matrix VALUES (";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    create += (i > 0 ? ", c" : "c") + std::to_string(i) + " " + cases[i].type;
    insert += (i > 0 ? ", " : "") + cases[i].literal;
  }
  database.Execute(create + ")");
  database.Execute(insert + ")");
}

// The matrix read through the program from the data source `dsn`.
void ExpectMatrix(const std::string& dsn, const TestDatabase& database, const std::string& listed_name,
                  const std::vector<TypeCase>& cases) {
  GlobalFormatSettings() = CLocaleFormatSettings();
  auto connection = std::make_unique<Connection>();
  connection->SetConnectionString(OdbcConnectionStringFor(dsn));
  connection->Open(database.User(), database.Password());
  auto dataset = connection->OpenTable(listed_name);
  ASSERT_EQ(dataset->FieldCount(), static_cast<int>(cases.size()));
  ASSERT_FALSE(dataset->Eof());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const TypeCase& c = cases[i];
    const Field& field = dataset->FieldAt(static_cast<int>(i));
    SCOPED_TRACE("type " + c.type + ", value " + c.literal);
    EXPECT_EQ(field.ClassName(), c.class_name);
    if (c.size != kAnySize) {
      EXPECT_EQ(field.Size(), c.size);
    }
    EXPECT_EQ(field.IsSinglePrecision(), c.facts.single);
    EXPECT_EQ(field.IsDuration(), c.facts.duration);
    EXPECT_EQ(field.FractionDigits(), c.facts.fraction_digits);
    if (field.ClassName() == "TBCDField") {
      EXPECT_EQ(field.Scale(), c.facts.scale);
    }
    EXPECT_EQ(field.IsZeroDate(), c.facts.zero_date);
    EXPECT_EQ(field.IsBeyondCalendar(), c.facts.beyond_calendar.has_value());
    if (c.facts.beyond_calendar) {
      EXPECT_EQ(field.RawText(), *c.facts.beyond_calendar);
    }
    EXPECT_EQ(field.IsNull(), !c.text.has_value());
    if (c.text) {
      EXPECT_EQ(field.AsString(), *c.text);
    }
    if (c.facts.date_time) {
      EXPECT_EQ(field.AsDateTime(), *c.facts.date_time);
    }
    // A declared size holds the value.
    if (IsSizedText(field.ClassName()) && field.Size() > 0) {
      EXPECT_LE(Characters(field.AsString()), field.Size());
    }
  }
}

TEST(OdbcTypeMatrix, PostgresTypesAndEdgeValues) {
  TestDatabase database = TestDatabase::Postgres();
  database.Execute("ALTER DATABASE " + database.Quote(database.DatabaseName()) + " SET TimeZone = 'UTC'");
  database.Execute("CREATE TYPE mood AS ENUM ('sad', 'ok', '\xC3\xBC" "berdreht')");
  database.Execute("CREATE DOMAIN dmoney AS money");
  database.Execute("CREATE DOMAIN code AS varchar(10)");
  database.Execute("CREATE DOMAIN dreal AS real");
  database.Execute("CREATE DOMAIN dbits AS bit(8)");
  const std::string interval = "178000000 years 11 mons 30 days 23:59:59.999999";
  const std::string uuid = "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}";
  std::string bits;
  for (int i = 0; i < 150; ++i) bits += "10";
  std::string long_bytes;
  for (int i = 0; i < 5000; ++i) long_bytes += std::string("\x00\xff", 2);
  const std::vector<TypeCase> cases = {
      // Bit strings: the driver says 4 characters for bit(8).
      {"bit(8)", "B'00000000'", "TWideStringField", 8, "00000000"},
      {"bit(8)", "B'11111111'", "TWideStringField", 8, "11111111"},
      {"bit(1)", "B'1'", "TWideStringField", 1, "1"},
      {"varbit(5)", "B'101'", "TWideStringField", 5, "101"},
      {"varbit", "repeat('10', 150)::varbit", "TMemoField", 0, bits},
      // Types without a declared length are memos, whatever the driver says.
      {"interval", "'" + interval + "'", "TMemoField", 0, interval},
      {"interval", "'-1 days -00:00:00.000001'", "TMemoField", 0, "-1 days -00:00:00.000001"},
      {"interval(2)", "'1 day 00:00:01.25'", "TMemoField", 0, "1 day 00:00:01.25"},
      {"interval", "NULL", "TMemoField", 0, std::nullopt},
      {"json", "'{\"a\": \"\xC3\xA9\"}'", "TMemoField", 0, "{\"a\": \"\xC3\xA9\"}"},
      {"jsonb", "'{\"b\":[1,2]}'", "TMemoField", 0, "{\"b\": [1, 2]}"},
      {"integer[]", "'{1,2,3}'", "TMemoField", 0, "{1,2,3}"},
      {"text[]", "'{\"a,b\",c}'", "TMemoField", 0, "{\"a,b\",c}"},
      {"mood[]", "'{sad,ok}'", "TMemoField", 0, "{sad,ok}"},
      {"point", "'(1.5,2)'", "TMemoField", 0, "(1.5,2)"},
      {"tsvector", "'a fat cat'", "TMemoField", 0, "'a' 'cat' 'fat'"},
      {"int4range", "'[1,5)'", "TMemoField", 0, "[1,5)"},
      {"varchar", "repeat('y', 5000)", "TMemoField", 0, std::string(5000, 'y')},
      {"text", "''", "TMemoField", 0, ""},
      {"text", "NULL", "TMemoField", 0, std::nullopt},
      // An enum holds its labels: as wide as the longest.
      {"mood", "'\xC3\xBC" "berdreht'", "TWideStringField", 9, "\xC3\xBC" "berdreht"},
      // Text of a known width keeps the driver's.
      {"varchar(5)", "'h\xC3\xA9llo'", "TWideStringField", 5, "h\xC3\xA9llo"},
      {"code", "'0123456789'", "TWideStringField", 10, "0123456789"},
      {"char(3)", "'ab'", "TWideStringField", 3, "ab "},
      {"macaddr8", "'08:00:2b:01:02:03:04:05'", "TWideStringField", kAnySize, "08:00:2b:01:02:03:04:05"},
      {"inet", "'fe80::ffff:1.2.3.4/64'", "TWideStringField", kAnySize, "fe80::ffff:102:304/64"},
      {"timetz", "'12:00+02'", "TWideStringField", kAnySize, "12:00:00+02"},
      {"uuid", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'", "TGuidField", 38, uuid},
      // money exactly, as a decimal, in digits of no locale.
      {"money", "'-92233720368547758.08'", "TBCDField", 19, "-92233720368547758.08", {.scale = 2}},
      {"money", "'92233720368547758.07'", "TBCDField", 19, "92233720368547758.07", {.scale = 2}},
      {"money", "0", "TBCDField", 19, "0.00", {.scale = 2}},
      {"money", "NULL", "TBCDField", 19, std::nullopt, {.scale = 2}},
      {"dmoney", "'1234567.89'", "TBCDField", 19, "1234567.89", {.scale = 2}},
      // Single precision: the shortest text of the single.
      {"real", "0.4", "TFloatField", 0, "0.4", {.single = true}},
      {"real", "3.14159", "TFloatField", 0, "3.14159", {.single = true}},
      {"real", "'3.4028235e38'", "TFloatField", 0, "3.4028235E38", {.single = true}},
      {"real", "'-1.1754944e-38'", "TFloatField", 0, "-1.1754944E-38", {.single = true}},
      {"real", "'NaN'", "TFloatField", 0, "NAN", {.single = true}},
      {"real", "'-Infinity'", "TFloatField", 0, "-INF", {.single = true}},
      {"double precision", "0.1", "TFloatField", 0, "0.1"},
      {"double precision", "'1e308'", "TFloatField", 0, "1E308"},
      // Decimals: without a precision, sized by the values (unknown, scale
      // -1, where no value has digits); a negative scale or one beyond the
      // precision becomes a decimal every target knows.
      {"numeric", "'123456789012345678901234567890.123'", "TBCDField", 33, "123456789012345678901234567890.123",
       {.scale = 3}},
      {"numeric", "'-0.000001'", "TBCDField", 7, "-0.000001", {.scale = 6}},
      {"numeric", "'NaN'", "TBCDField", 0, "NaN"},
      {"numeric", "NULL", "TBCDField", 0, std::nullopt},
      {"numeric(10,2)", "12.5", "TBCDField", 10, "12.50", {.scale = 2}},
      {"numeric(5,-2)", "12345", "TBCDField", 7, "12300", {.scale = 0}},
      {"numeric(3,5)", "0.00123", "TBCDField", 5, "0.00123", {.scale = 5}},
      {"numeric(38,0)", "'-99999999999999999999999999999999999999'", "TBCDField", 38,
       "-99999999999999999999999999999999999999", {.scale = 0}},
      // Dates and times: the digits of the declared fraction.
      {"time(3)", "'23:59:59.999'", "TTimeField", 0, "23:59:59",
       {.fraction_digits = 3, .date_time = TimeValue(23, 59, 59, 999000000)}},
      {"time", "'24:00:00'", "TTimeField", 0, "24:00:00", {.fraction_digits = 6, .date_time = TimeValue(24, 0, 0)}},
      {"time(0)", "'00:00:00'", "TTimeField", 0, "00:00:00", {.fraction_digits = 0, .date_time = TimeValue(0, 0, 0)}},
      {"time(0)", "'24:00:00'", "TTimeField", 0, "24:00:00", {.fraction_digits = 0, .date_time = TimeValue(24, 0, 0)}},
      // Domains are read as their base types.
      {"dreal", "0.4", "TFloatField", 0, "0.4", {.single = true}},
      {"dbits", "B'00000000'", "TWideStringField", 8, "00000000"},
      // Types without a declared length are memos.
      {"int2vector", "'1 2 3'", "TMemoField", 0, "1 2 3"},
      {"oidvector", "'1 4294967295'", "TMemoField", 0, "1 4294967295"},
      {"tsquery", "'fat & !cat'", "TMemoField", 0, "'fat' & !'cat'"},
      {"numeric(1000,500)", "-1.5", "TBCDField", 1000, "-1.5" + std::string(499, '0'), {.scale = 500}},
      {"timestamp(0)", "'0001-01-01 00:00:00'", "TDateTimeField", 0, "0001-01-01",
       {.fraction_digits = 0, .date_time = DateTime{1, 1, 1}}},
      {"timestamp", "'9999-12-31 23:59:59.999999'", "TDateTimeField", 0, "9999-12-31 23:59:59",
       {.fraction_digits = 6, .date_time = DateTime{9999, 12, 31, 23, 59, 59, 999999000}}},
      {"timestamptz(2)", "'2020-01-01 02:00:00.25+02'", "TDateTimeField", 0, "2020-01-01",
       {.fraction_digits = 2, .date_time = DateTime{2020, 1, 1, 0, 0, 0, 250000000}}},
      {"timestamptz", "NULL", "TDateTimeField", 0, std::nullopt, {.fraction_digits = 6}},
      // Dates beyond the calendar (the driver would give other dates for
      // them): NULL, their own text kept for a target that holds them.
      {"timestamp", "'infinity'", "TDateTimeField", 0, std::nullopt,
       {.fraction_digits = 6, .beyond_calendar = "infinity"}},
      {"timestamp(3)", "'-infinity'", "TDateTimeField", 0, std::nullopt,
       {.fraction_digits = 3, .beyond_calendar = "-infinity"}},
      {"timestamp", "'0044-03-15 12:00:00 BC'", "TDateTimeField", 0, std::nullopt,
       {.fraction_digits = 6, .beyond_calendar = "0044-03-15 12:00:00 BC"}},
      {"timestamp", "'10000-01-01 00:00:00'", "TDateTimeField", 0, std::nullopt,
       {.fraction_digits = 6, .beyond_calendar = "10000-01-01 00:00:00"}},
      {"timestamptz", "'9999-12-31 23:59:59+00'", "TDateTimeField", 0, "9999-12-31 23:59:59",
       {.fraction_digits = 6, .date_time = DateTime{9999, 12, 31, 23, 59, 59}}},
      {"date", "'infinity'", "TDateField", 0, std::nullopt, {.fraction_digits = 0, .beyond_calendar = "infinity"}},
      {"date", "'4713-01-01 BC'", "TDateField", 0, std::nullopt,
       {.fraction_digits = 0, .beyond_calendar = "4713-01-01 BC"}},
      {"date", "'5874897-12-31'", "TDateField", 0, std::nullopt,
       {.fraction_digits = 0, .beyond_calendar = "5874897-12-31"}},
      {"date", "'2020-02-29'", "TDateField", 0, "2020-02-29", {.fraction_digits = 0, .date_time = DateTime{2020, 2, 29}}},
      {"bytea", "'\\x00ff27'::bytea", "TBlobField", kAnySize, std::string("\x00\xff\x27", 3)},
      {"bytea", "decode(repeat('00ff', 5000), 'hex')", "TBlobField", kAnySize, long_bytes},
      {"text", "repeat('t', 9000)", "TMemoField", 0, std::string(9000, 't')},
      {"varchar(300)", "repeat('v', 300)", "TWideStringField", 300, std::string(300, 'v')},
  };
  CreateMatrix(database, cases);
  {
    SCOPED_TRACE("the test's data source");
    ExpectMatrix(database.Dsn(), database, "public.matrix", cases);
  }
  // The driver's options for sizes change what it reports, not what the
  // columns are.
  const TestServers& servers = RunningTestServers();
  RegisterSystemDsn("Quill Matrix Other Sizes", kPostgresDriver,
                    {{"Servername", "127.0.0.1"},
                     {"Port", std::to_string(servers.postgres_port)},
                     {"Database", database.DatabaseName()},
                     {"ByteaAsLongVarBinary", "0"},
                     {"TextAsLongVarchar", "0"},
                     {"MaxVarcharSize", "100"},
                     {"UnknownsAsLongVarchar", "1"},
                     {"UnknownSizes", "1"}});
  // There types of a known width that the driver does not know become
  // memos, which hold their values too.
  std::vector<TypeCase> other_cases = cases;
  for (TypeCase& c : other_cases) {
    if (c.type == "macaddr8" || c.type == "timetz") c.class_name = "TMemoField";
  }
  SCOPED_TRACE("a data source with ByteaAsLongVarBinary=0, TextAsLongVarchar=0, MaxVarcharSize=100");
  ExpectMatrix("Quill Matrix Other Sizes", database, "public.matrix", other_cases);
}

TEST(OdbcTypeMatrix, MariaDbTypesAndEdgeValues) {
  TestDatabase database = TestDatabase::MariaDb();
  // Zero dates and dates of month 0 go in only outside the strict modes.
  database.Execute("SET SESSION sql_mode = 'ALLOW_INVALID_DATES'");
  const std::vector<TypeCase> cases = {
      // TIME is a duration.
      {"TIME", "'-838:59:59'", "TTimeField", 0, "838:59:59",
       {.duration = true, .fraction_digits = 0, .date_time = TimeValue(838, 59, 59, 0, true)}},
      {"TIME", "'838:59:59'", "TTimeField", 0, "838:59:59",
       {.duration = true, .fraction_digits = 0, .date_time = TimeValue(838, 59, 59)}},
      {"TIME(6)", "'100:00:00.123456'", "TTimeField", 0, "100:00:00",
       {.duration = true, .fraction_digits = 6, .date_time = TimeValue(100, 0, 0, 123456000)}},
      {"TIME(6)", "'-00:00:00.000001'", "TTimeField", 0, "00:00:00",
       {.duration = true, .fraction_digits = 6, .date_time = TimeValue(0, 0, 0, 1000, true)}},
      {"TIME(3)", "NULL", "TTimeField", 0, std::nullopt, {.duration = true, .fraction_digits = 3}},
      // Dates: the declared fraction; zero dates are NULL and say so.
      {"DATETIME", "'1000-01-01 00:00:00'", "TDateTimeField", 0, "1000-01-01",
       {.fraction_digits = 0, .date_time = DateTime{1000, 1, 1}}},
      {"DATETIME(6)", "'9999-12-31 23:59:59.999999'", "TDateTimeField", 0, "9999-12-31 23:59:59",
       {.fraction_digits = 6, .date_time = DateTime{9999, 12, 31, 23, 59, 59, 999999000}}},
      {"DATETIME", "'0000-00-00 00:00:00'", "TDateTimeField", 0, std::nullopt, {.fraction_digits = 0, .zero_date = true}},
      {"DATETIME(2)", "'2020-02-00 10:00:00.5'", "TDateTimeField", 0, std::nullopt,
       {.fraction_digits = 2, .zero_date = true}},
      {"DATETIME", "NULL", "TDateTimeField", 0, std::nullopt, {.fraction_digits = 0}},
      {"TIMESTAMP(3) NULL", "'2038-01-19 03:14:07.999'", "TDateTimeField", 0, "2038-01-19 03:14:07",
       {.fraction_digits = 3, .date_time = DateTime{2038, 1, 19, 3, 14, 7, 999000000}}},
      {"DATE", "'0000-00-00'", "TDateField", 0, std::nullopt, {.fraction_digits = 0, .zero_date = true}},
      {"DATE", "'2020-00-15'", "TDateField", 0, std::nullopt, {.fraction_digits = 0, .zero_date = true}},
      {"DATE", "'2020-02-31'", "TDateField", 0, std::nullopt, {.fraction_digits = 0, .zero_date = true}},
      {"DATE", "'0001-01-01'", "TDateField", 0, "0001-01-01", {.fraction_digits = 0, .date_time = DateTime{1, 1, 1}}},
      {"DATE", "'9999-12-31'", "TDateField", 0, "9999-12-31",
       {.fraction_digits = 0, .date_time = DateTime{9999, 12, 31}}},
      // FLOAT is single precision: the shortest text of the single.
      {"FLOAT", "0.4", "TFloatField", 0, "0.4", {.single = true}},
      {"FLOAT", "3.14159", "TFloatField", 0, "3.14159", {.single = true}},
      {"FLOAT", "-3.40282e38", "TFloatField", 0, "-3.40282E38", {.single = true}},
      {"FLOAT", "1.17549e-38", "TFloatField", 0, "1.17549E-38", {.single = true}},
      {"FLOAT(7,3)", "3.14159", "TFloatField", 0, "3.142", {.single = true}},
      // Beyond the six digits that MariaDB's own text of a FLOAT keeps.
      {"FLOAT", "123456.79", "TFloatField", 0, "123456.79", {.single = true}},
      {"FLOAT", "16777217", "TFloatField", 0, "16777216", {.single = true}},
      {"DOUBLE", "0.1", "TFloatField", 0, "0.1"},
      {"DOUBLE", "-1.7976931348623157e308", "TFloatField", 0, "-1.7976931348623157E308"},
      {"DECIMAL(65,30)", "'-12345678901234567890123456789012345.123456789012345678901234567890'", "TBCDField", 65,
       "-12345678901234567890123456789012345.123456789012345678901234567890", {.scale = 30}},
      {"DECIMAL(10,0)", "NULL", "TBCDField", 10, std::nullopt, {.scale = 0}},
      // Text and bytes.
      {"VARCHAR(10)", "''", "TStringField", 10, ""},
      {"CHAR(3)", "'\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80'", "TStringField", 3, "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"ENUM('a','b\xC3\xA9')", "'b\xC3\xA9'", "TStringField", 2, "b\xC3\xA9"},
      {"SET('x','y')", "'x,y'", "TStringField", 3, "x,y"},
      {"VARBINARY(10)", "x'00FF275C0D0A'", "TVarBytesField", 10, std::string("\x00\xFF'\\\r\n", 6)},
      {"BINARY(4)", "x'00FF2700'", "TBytesField", 4, std::string("\x00\xFF'\x00", 4)},
      // BIT(n) in bytes.
      {"BIT(8)", "b'00000000'", "TBytesField", 1, std::string("\x00", 1)},
      {"BIT(12)", "b'101000000001'", "TBytesField", 2, std::string("\x0A\x01", 2)},
      {"BIT(64)", "~0", "TBytesField", 8, std::string(8, '\xFF')},
      {"TIME(1)", "'-00:00:00.1'", "TTimeField", 0, "00:00:00",
       {.duration = true, .fraction_digits = 1, .date_time = TimeValue(0, 0, 0, 100000000, true)}},
      {"FLOAT(24)", "0.4", "TFloatField", 0, "0.4", {.single = true}},
      {"DOUBLE UNSIGNED", "1.7976931348623157e308", "TFloatField", 0, "1.7976931348623157E308"},
      {"YEAR", "2020", "TWordField", 0, "2020"},
      {"BIGINT UNSIGNED", "18446744073709551615", "TLargeintField", 0, "18446744073709551615"},
      {"TINYINT", "-128", "TSmallintField", 0, "-128"},
  };
  CreateMatrix(database, cases);
  ExpectMatrix(database.Dsn(), database, "matrix", cases);
}

// A key of dates that holds zero dates is read whole, not in pages along
// it: a page statement could not compare such a key under every SQL mode.
TEST(OdbcTypeMatrix, MariaDbKeyOfZeroDatesIsReadWhole) {
  constexpr int kRows = 300;  // beyond the first page
  struct KeyCase {
    std::string type;
    std::string zero_values;  // the literals of the zero dates
    int zero_count;
  };
  const std::vector<KeyCase> cases = {
      {"DATE", "('0000-00-00', 0), ('2020-00-15', 0), ('2021-06-00', 0)", 3},
      {"DATETIME(6)", "('0000-00-00 00:00:00', 0), ('2020-02-31 10:00:00.5', 0)", 2},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE("key type " + c.type);
    TestDatabase database = TestDatabase::MariaDb();
    database.Execute("SET SESSION sql_mode = 'ALLOW_INVALID_DATES'");
    database.Execute("CREATE TABLE dated (d " + c.type + " NOT NULL PRIMARY KEY, k INT)");
    database.Execute("INSERT INTO dated VALUES " + c.zero_values);
    database.Execute("INSERT INTO dated SELECT DATE '2000-01-01' + INTERVAL seq DAY, seq FROM seq_1_to_" +
                     std::to_string(kRows));
    auto connection = OpenSource(database);
    auto dataset = connection->OpenTable("dated");
    int rows = 0;
    int zero_dates = 0;
    int64_t k_sum = 0;
    for (; !dataset->Eof(); dataset->Next(), ++rows) {
      const Field& d = *dataset->FindField("d");
      if (d.IsZeroDate()) {
        ++zero_dates;
        EXPECT_TRUE(d.IsNull());
      } else {
        EXPECT_FALSE(d.IsNull());
      }
      k_sum += dataset->FindField("k")->AsInteger();
    }
    EXPECT_EQ(rows, kRows + c.zero_count);
    EXPECT_EQ(zero_dates, c.zero_count);
    EXPECT_EQ(k_sum, static_cast<int64_t>(kRows) * (kRows + 1) / 2);
    // Without its zero dates, the same table is read in pages again.
    OdbcSession session(database.Dsn(), database.User(), database.Password(), 30, 45);
    EXPECT_FALSE(MariaDbKeyPaging(session, TableReference{"", "dated"}).has_value());
    database.Execute("DELETE FROM dated WHERE k = 0");
    EXPECT_TRUE(MariaDbKeyPaging(session, TableReference{"", "dated"}).has_value());
  }
}

// Single-precision values reach every dialect's script as the shortest text
// of the single, through the writers' own float formatting.
TEST(OdbcTypeMatrix, SinglePrecisionValuesAreWrittenAsTheirShortestText) {
  struct EngineCase {
    TestDatabase database;
    std::string single_type;
    std::string listed_name;
  };
  std::vector<EngineCase> engines;
  engines.push_back({TestDatabase::Postgres(), "real", "public.singles"});
  engines.push_back({TestDatabase::MariaDb(), "FLOAT", "singles"});
  const std::vector<TargetDialect> dialects = {TargetDialect::MySql, TargetDialect::MsSql, TargetDialect::Oracle,
                                               TargetDialect::Pervasive, TargetDialect::PostgreSql};
  for (EngineCase& engine : engines) {
    engine.database.Execute("CREATE TABLE singles (id INTEGER PRIMARY KEY, f " + engine.single_type + ")");
    engine.database.Execute("INSERT INTO singles VALUES (1, 0.4), (2, 3.14159), (3, -2.5e-7), (4, 16777216)");
    for (TargetDialect dialect : dialects) {
      SCOPED_TRACE("type " + engine.single_type + ", dialect " + std::to_string(static_cast<int>(dialect)));
      GeneratorHarness harness;
      harness.settings.format = dialect;
      harness.ui.SetSelectedNodeCaption("singles");
      harness.generator.GenerateScript(engine.database.Dsn(), engine.listed_name);
      const std::string script = harness.ScriptText();
      for (const char* text : {"0.4", "3.14159", "-2.5E-7", "16777216"}) {
        EXPECT_NE(script.find(text), std::string::npos) << text << " not in\n" << script;
      }
      EXPECT_EQ(script.find("0.4000000059604645"), std::string::npos) << script;
      EXPECT_EQ(script.find("3.141590118408203"), std::string::npos) << script;
    }
  }
}

}  // namespace
}  // namespace quill::testing
