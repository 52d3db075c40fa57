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
#include "platform/text/hex_digits.h"

namespace quill::testing {
namespace {

// How the texts of one column are read and compared in both engines.
enum class Read {
  kExact,     // the engine's text
  kText,      // text; character(n) pads with blanks; '' is written NULL by the scripts' rule
  kDecimal,   // every digit, trailing fraction zeros aside
  kFloat,     // the same double
  kSingle,    // the same single-precision number
  kHex,       // the bytes as hexadecimal digits
  kDuration,  // sign, hours, minutes, seconds and microseconds
  kDateTime,  // a date-time; a fraction's trailing zeros aside
  kInstant,   // a PostgreSQL date-time with a time zone: as the time in UTC
  kGuid,      // a GUID's hexadecimal digits, braces and case aside
  kBits,      // a bit string's value as hexadecimal digits, leading zeros aside
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

// Every byte value once, as hexadecimal digits: 000102...FF.
std::string AllBytesHex() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return HexDigits(bytes);
}

std::string ColumnName(size_t i) { return "c" + std::to_string(i); }

const std::vector<MatrixColumn>& PostgresColumns() {
  static const std::vector<MatrixColumn> columns = {
      // integers
      {"smallint", Read::kExact, {"-32768", "32767"}},
      {"integer", Read::kExact, {"-2147483648", "2147483647"}},
      {"bigint", Read::kExact, {"-9223372036854775808", "9223372036854775807"}},
      {"smallserial", Read::kExact, {"1", "32767"}},
      {"bigserial", Read::kExact, {"1", "9223372036854775807"}},
      {"oid", Read::kExact, {"0", "4294967295", "2147483648"}},
      // decimals
      {"numeric", Read::kDecimal,
       {"123456789012345678901234567890", "-0.000001", "0.1", "'NaN'", "'Infinity'", "'-Infinity'"},
       {"'NaN'", "'Infinity'", "'-Infinity'"}},
      {"numeric(15,4)", Read::kDecimal, {"99999999999.9999", "-0.0001", "0", "'NaN'"}, {"'NaN'"}},
      {"numeric(38,10)", Read::kDecimal, {"9999999999999999999999999999.9999999999", "-0.0000000001"}},
      {"numeric(60,30)", Read::kDecimal, {"999999999999999999999999999999.999999999999999999999999999999"}},
      {"numeric(1000,500)", Read::kDecimal,
       {"('1' || repeat('0', 499) || '.' || repeat('0', 499) || '1')::numeric", "1.5", "-0.25"},
       {"('1' || repeat('0', 499) || '.' || repeat('0', 499) || '1')::numeric"}},
      {"numeric(70,0)", Read::kDecimal, {"('9' || repeat('0', 69))::numeric", "-5"}, {"('9' || repeat('0', 69))::numeric"}},
      {"numeric", Read::kDecimal, {"1e100", "0.000000000000000000000000000000000001", "-12.5"},
       {"1e100", "0.000000000000000000000000000000000001"}},
      {"money", Read::kDecimal, {"-92233720368547758.08", "92233720368547758.07", "0"}},
      // floats
      {"float8", Read::kFloat,
       {"1.7976931348623157e308", "-4.9e-324", "0.1", "'NaN'", "'Infinity'", "'-Infinity'", "5e-324",
        "2.2250738585072014e-308", "'-0'", "4.9406564584124654e-320"},
       {"'NaN'", "'Infinity'", "'-Infinity'"}},
      {"real", Read::kSingle,
       {"0.4", "3.14159", "'NaN'", "'Infinity'", "'-Infinity'", "1.4e-45", "3.4028235e38", "-3.4028235e38"},
       {"'NaN'", "'Infinity'", "'-Infinity'"}},
      // text
      {"real", Read::kSingle, {"'-0'", "1e-40", "1.17549435e-38"}},
      {"varchar(10)", Read::kText, {"'a  '", "'  '", "' b'"}},
      {"varchar(20)", Read::kText, {"'Zoë Ñandú ÄÖÜ ß'", "''", "'it''s \\ 5'", "'😀 emoji'"}},
      {"text", Read::kText, {"'line one' || chr(13) || chr(10) || 'line two'", "'€'", "'😀' || chr(9) || '𝄞'"}},
      {"varchar", Read::kText, {"'" + std::string(300, 'x') + "'"}},
      {"varchar(100000)", Read::kText, {"repeat('é', 100000)"}},
      {"bpchar", Read::kText, {"'unsized  '"}},
      {"character(1)", Read::kText, {"'x'", "' '"}},
      {"char(5)", Read::kText, {"'ab'", "'abcde'", "'é😀'"}},
      {"\"char\"", Read::kText, {"'a'", "'Z'"}},
      {"name", Read::kText, {"'pg_class'", "'" + std::string(63, 'n') + "'"}},
      {"mood", Read::kText, {"'happy'", "'très content'"}},
      {"xml", Read::kText, {"'<a b=\"1\">Zoë &amp; 😀</a>'"}},
      {"json", Read::kText, {"'{\"a\": [1, 2], \"b\": \"Zoë\"}'"}},
      {"jsonb", Read::kText, {"'{\"a\": [1, 2.50], \"b\": \"Zoë 😀\", \"c\": null}'", "'[]'"}},
      {"tsvector", Read::kText, {"'a fat cat sat on a mat'", "''"}},
      // identifiers, addresses, shapes, ranges and arrays
      {"uuid", Read::kGuid, {"'6f9619ff-8b86-d011-b42d-00c04fc964ff'", "'00000000-0000-0000-0000-000000000000'"}},
      {"inet", Read::kText, {"'10.1.2.3/8'", "'192.168.0.1/24'", "'ffff:ffff:ffff:ffff:ffff:ffff:ffff:fffe/120'", "'::1'"}},
      {"cidr", Read::kText, {"'10.0.0.0/8'", "'2001:db8::/32'"}},
      {"macaddr", Read::kText, {"'08:00:2b:01:02:03'"}},
      {"macaddr8", Read::kText, {"'08:00:2b:01:02:03:04:05'"}},
      {"point", Read::kText, {"'(1.5,-2)'"}},
      {"box", Read::kText, {"'((0,0),(1,1))'"}},
      {"path", Read::kText, {"'[(0,0),(1,1),(2,0)]'"}},
      {"line", Read::kText, {"'{1,-1,0}'"}},
      {"lseg", Read::kText, {"'[(0,0),(1,1)]'"}},
      {"polygon", Read::kText, {"'((0,0),(1,1),(1,0))'"}},
      {"circle", Read::kText, {"'<(0,0),1.5>'"}},
      {"int4range", Read::kText, {"'[1,10)'", "'empty'"}},
      {"int8range", Read::kText, {"'[-9223372036854775808,9223372036854775807)'"}},
      {"numrange", Read::kText, {"'(1.5,2.25]'"}},
      {"daterange", Read::kText, {"'[2004-01-01,infinity)'"}},
      {"pg_lsn", Read::kText, {"'FFFFFFFF/FFFFFFFF'"}},
      {"jsonpath", Read::kText, {"'$.a[*] ? (@ > 2)'"}},
      {"regclass", Read::kText, {"'pg_class'"}},
      {"xid", Read::kText, {"'4294967295'"}},
      {"timestamp[]", Read::kText, {"'{\"2004-01-01 00:00:00\",infinity}'"}},
      {"numeric[]", Read::kText, {"'{1.5,NaN,-0.000001}'"}},
      {"bytea[]", Read::kText, {"ARRAY['\\x00ff'::bytea]"}},
      {"positive", Read::kDecimal, {"0.5", "99999.99"}},
      {"address", Read::kText, {"'rue de l''Église'"}},
      {"pair", Read::kText, {"ROW(1, 'a \"b\"')::pair"}},
      {"mood[]", Read::kText, {"'{happy,\"très content\"}'"}},
      {"hstore", Read::kText, {"'a=>1, \"b c\"=>NULL'"}},
      {"citext", Read::kText, {"'MiXeD Çase'"}},
      {"ltree", Read::kText, {"'top.science.astronomy'"}},
      {"integer[]", Read::kText, {"'{1,2,3}'", "'{{1,2},{3,4}}'", "'{}'"}},
      {"text[]", Read::kText, {"'{\"a b\",NULL,\"é\",\"\"}'", "'{\"a\\\"b\",\"c\\\\d\",\"NULL\",\"it''s\"}'"}},
      {"dreal", Read::kSingle, {"0.4", "3.14159", "'NaN'"}, {"'NaN'"}},
      {"dint", Read::kExact, {"-2147483648", "7"}},
      {"dbits", Read::kText, {"B'00000000'", "B'10101010'"}},
      {"dtime", Read::kDuration, {"'24:00:00'", "'12:00:00'"}},
      {"dcash", Read::kDecimal, {"'-92233720368547758.08'", "0"}},
      {"dnum", Read::kDecimal, {"123456789012345678901234567890", "1e100", "'NaN'"}, {"1e100", "'NaN'"}},
      {"dpositive", Read::kDecimal, {"0.5", "99999.99"}},
      {"dbool", Read::kExact, {"true", "false"}},
      {"dstamp", Read::kDateTime, {"'2004-12-31 23:59:59.999'", "'infinity'"}, {"'infinity'"}},
      {"timestamptz", Read::kInstant, {"'infinity'", "'2004-10-19 10:23:54.5+02'"}, {"'infinity'"}},
      {"tags", Read::kText, {"'{x,\"y z\",NULL}'"}},
      {"odd", Read::kText, {"'it''s'", "'a,b'", "''"}},
      {"int2vector", Read::kText, {"'1 2 3'"}},
      {"oidvector", Read::kText, {"'1 4294967295'"}},
      {"tsquery", Read::kText, {"'fat & (rat | !cat)'"}},
      {"uuid[]", Read::kText, {"'{6f9619ff-8b86-d011-b42d-00c04fc964ff}'"}},
      {"bit(64)", Read::kText, {"B'1' || repeat('0', 62)::bit(62) || B'1'"}},
      // bits
      {"bit(8)", Read::kText, {"B'00000000'", "B'10101010'"}},
      {"varbit", Read::kText, {"B'101'"}},
      {"bit varying(70)", Read::kText, {"B'1' || repeat('0', 69)::bit varying"}},
      {"bit(1)", Read::kText, {"B'1'", "B'0'"}},
      // dates and times
      {"date", Read::kExact, {"'0001-01-01'", "'9999-12-31'", "'2004-02-29'"}},
      {"date", Read::kExact, {"'4713-01-01 BC'", "'5874897-12-31'", "'infinity'", "'-infinity'", "'2004-02-29'"},
       {"'4713-01-01 BC'", "'5874897-12-31'", "'infinity'", "'-infinity'"}},
      {"timestamp", Read::kDateTime,
       {"'0001-01-01 00:00:00'", "'9999-12-31 23:59:59.999999'", "'2004-12-31 23:59:59.5'"}},
      {"timestamp", Read::kDateTime,
       {"'0001-01-01 00:00:00 BC'", "'infinity'", "'-infinity'", "'10000-01-01 00:00:00'", "'2004-12-31 10:11:12'"},
       {"'0001-01-01 00:00:00 BC'", "'infinity'", "'-infinity'", "'10000-01-01 00:00:00'"}},
      {"timestamp(3)", Read::kDateTime, {"'2004-12-31 23:59:59.999'", "'2004-12-31 10:11:12'"}},
      {"timestamptz", Read::kInstant,
       {"'2004-10-19 10:23:54+02'", "'0001-01-01 00:00:00+00'", "'9999-12-31 23:59:59.999999+00'"}},
      {"time", Read::kDuration, {"'00:00:00'", "'23:59:59.999999'", "'12:00:00.000001'", "'24:00:00'"}},
      {"time(3)", Read::kDuration, {"'23:59:59.999'", "'00:00:00.001'"}},
      {"time(0)", Read::kDuration, {"'23:59:59'", "'24:00:00'"}},
      {"time(6)", Read::kDuration, {"'24:00:00'", "'00:00:00.000001'"}},
      {"timetz(0)", Read::kText, {"'24:00:00+00'", "'00:00:00-15:59'"}},
      {"timestamp(0)", Read::kDateTime, {"'2004-12-31 23:59:59'"}},
      {"interval year to month", Read::kText, {"'-178000000 years -11 mons'"}},
      {"interval(0)", Read::kText, {"'-838:59:59'"}},
      {"timetz", Read::kText, {"'12:34:56+05:30'", "'23:59:59.999999-12'"}},
      {"interval", Read::kText,
       {"'178000000 years 11 mons 30 days 23:59:59.999999'", "'-1 days -00:00:01'",
        "'1 year 2 mons -3 days 04:05:06.789'", "'-1 mons'", "'-1 years -2 mons +3 days -04:05:06.000007'",
        "'00:00:00.000001'"}},
      {"interval day to second(3)", Read::kText, {"'-2 days 00:00:00.123'"}},
      // booleans (and NULL in the last row)
      {"boolean", Read::kExact, {"true", "false"}},
      // bytes: a BLOB, left out unless files are extracted, and said so
      {"bytea", Read::kHex, {"'\\x00ff275c0d0a'::bytea", "''::bytea", "'\\x27'::bytea"}, {},
       {"'\\x00ff275c0d0a'::bytea", "''::bytea", "'\\x27'::bytea"}},
  };
  return columns;
}

const std::vector<MatrixColumn>& MariaDbColumns() {
  static const std::vector<MatrixColumn> columns = {
      // integers
      {"TINYINT", Read::kExact, {"-128", "127"}},
      {"TINYINT UNSIGNED", Read::kExact, {"0", "255"}},
      {"SMALLINT UNSIGNED", Read::kExact, {"0", "65535"}},
      {"MEDIUMINT", Read::kExact, {"-8388608", "8388607"}},
      {"MEDIUMINT UNSIGNED", Read::kExact, {"0", "16777215"}},
      {"INT", Read::kExact, {"-2147483648", "2147483647"}},
      {"INT UNSIGNED", Read::kExact, {"0", "4294967295"}},
      {"BIGINT", Read::kExact, {"-9223372036854775808", "9223372036854775807"}},
      {"BIGINT UNSIGNED", Read::kExact, {"18446744073709551615", "0"}},
      {"YEAR", Read::kDecimal, {"1901", "2155", "0"}},
      {"YEAR(4)", Read::kDecimal, {"2000", "1999"}},
      {"BOOL", Read::kExact, {"1", "0", "2"}},
      {"TINYINT(1)", Read::kExact, {"-128", "1", "0"}},
      {"INT(4) ZEROFILL", Read::kDecimal, {"42", "4294967295"}},
      {"BIGINT ZEROFILL", Read::kDecimal, {"18446744073709551615"}},
      // decimals
      {"DECIMAL(65,30)", Read::kDecimal,
       {"99999999999999999999999999999999999.999999999999999999999999999999",
        "-0.000000000000000000000000000001"}},
      {"DECIMAL(10,2)", Read::kDecimal, {"-99999999.99", "0.01"}},
      {"DECIMAL(20,4) UNSIGNED", Read::kDecimal, {"9999999999999999.9999", "0"}},
      {"DECIMAL(65,30) UNSIGNED", Read::kDecimal, {"99999999999999999999999999999999999.999999999999999999999999999999"}},
      {"NUMERIC", Read::kDecimal, {"9999999999", "-9999999999"}},
      {"DECIMAL(38,38)", Read::kDecimal, {"0.99999999999999999999999999999999999999", "0.5"},
       {"0.99999999999999999999999999999999999999"}},
      {"DECIMAL(65,0)", Read::kDecimal, {"99999999999999999999999999999999999999999999999999999999999999999"}},
      // floats
      {"DOUBLE", Read::kFloat, {"1.7976931348623157e308", "-2.2250738585072014e-308", "0.1", "5e-324", "-0e0"}},
      {"FLOAT(5,2)", Read::kSingle, {"999.99", "-0.01"}},
      {"DOUBLE(20,10) UNSIGNED", Read::kFloat, {"1234567890.0123456789", "0"}},
      {"DOUBLE UNSIGNED", Read::kFloat, {"1.7976931348623157e308", "0"}},
      {"FLOAT", Read::kSingle, {"0.4", "3.14159", "-1e-30", "3.40282e38", "1.4e-45", "-0e0", "1e-40"}},
      {"FLOAT(7,3)", Read::kSingle, {"9999.999", "-9999.999", "0.001"}},
      {"FLOAT UNSIGNED", Read::kSingle, {"3.40282e38", "0"}},
      {"DOUBLE(10,2)", Read::kFloat, {"99999999.99", "-0.01"}},
      {"REAL", Read::kFloat, {"1.7976931348623157e308"}},
      {"FLOAT(24)", Read::kSingle, {"0.4"}},
      {"FLOAT(53)", Read::kFloat, {"0.1"}},
      {"DOUBLE PRECISION(10,2)", Read::kFloat, {"12345678.91"}},
      {"DECIMAL(65,30) ZEROFILL", Read::kDecimal, {"1.5"}},
      {"BIT(33)", Read::kBits, {"b'100000000000000000000000000000001'"}},
      {"TINYINT(1) UNSIGNED", Read::kExact, {"255", "1"}},
      {"FLOAT(30)", Read::kFloat, {"0.1"}},
      // bits
      {"BIT(1)", Read::kBits, {"b'0'", "b'1'"}},
      {"BIT(8)", Read::kBits, {"b'00000000'", "b'10101010'", "b'11111111'"}},
      {"BIT(2)", Read::kBits, {"b'11'", "b'01'"}},
      {"BIT(64)", Read::kBits, {"b'0'", "~0", "b'1000000000000000000000000000000000000000000000000000000000000001'"}},
      // bytes
      {"VARBINARY(16)", Read::kHex, {"x'00FF275C0D0A'", "x''", "x'27'"}},
      {"BINARY(6)", Read::kHex, {"x'00FF275C0D0A'", "x'000000000000'", "x'01'", "x'2000'"}},
      {"VARBINARY(256)", Read::kHex, {"x'" + AllBytesHex() + "'"}},
      {"INET4", Read::kText, {"'0.0.0.0'", "'255.255.255.255'", "'10.1.2.3'"}},
      {"BINARY(255)", Read::kHex, {"REPEAT(x'FF00', 127)"}},
      {"VARBINARY(5000)", Read::kHex, {"REPEAT(x'00FF27', 1666)"}},
      {"INET6", Read::kText, {"'::1'", "'2001:db8::ff00:42:8329'", "'::ffff:192.0.2.1'"}},
      {"UUID", Read::kGuid, {"'6f9619ff-8b86-d011-b42d-00c04fc964ff'", "'00000000-0000-0000-0000-000000000000'"}},
      // BLOBs, left out unless files are extracted, and said so
      {"TINYBLOB", Read::kHex, {"x'00FF275C0D0A'", "x''"}, {}, {"x'00FF275C0D0A'", "x''"}},
      {"BLOB", Read::kHex, {"x'00FF275C0D0A'"}, {}, {"x'00FF275C0D0A'"}},
      {"MEDIUMBLOB", Read::kHex, {"x'00'"}, {}, {"x'00'"}},
      {"LONGBLOB", Read::kHex, {"REPEAT(x'00FF', 5000)"}, {}, {"REPEAT(x'00FF', 5000)"}},
      {"GEOMETRY", Read::kHex, {"ST_GeomFromText('POINT(1 2)')"}, {}, {"ST_GeomFromText('POINT(1 2)')"}},
      {"LINESTRING", Read::kHex, {"ST_GeomFromText('LINESTRING(0 0,1 1)')"}, {}, {"ST_GeomFromText('LINESTRING(0 0,1 1)')"}},
      {"POLYGON", Read::kHex, {"ST_GeomFromText('POLYGON((0 0,1 0,1 1,0 0))')"}, {},
       {"ST_GeomFromText('POLYGON((0 0,1 0,1 1,0 0))')"}},
      {"POINT", Read::kHex, {"ST_GeomFromText('POINT(-1.5 2e10)')"}, {}, {"ST_GeomFromText('POINT(-1.5 2e10)')"}},
      // text
      {"VARCHAR(20)", Read::kText, {"'Zoë Ñandú ÄÖÜ ß'", "'😀 emoji'"}},
      {"CHAR(5)", Read::kText, {"'ab'", "'é😀'", "'abcde'"}},
      {"TINYTEXT", Read::kText, {"'Zoë 😀'", "REPEAT('x', 255)"}},
      {"TEXT", Read::kText, {"CONCAT('a', CHAR(13), CHAR(10), 'b\\\\c')", "'ÄÖÜ'", "'😀𝄞'"}},
      {"LONGTEXT", Read::kText, {"REPEAT('é', 70000)"}},
      {"MEDIUMTEXT", Read::kText, {"'😀'"}},
      {"VARCHAR(5000)", Read::kText, {"REPEAT('€', 5000)"}},
      {"CHAR(255)", Read::kText, {"REPEAT('ß', 255)"}},
      {"VARCHAR(20) CHARACTER SET utf8mb3", Read::kText, {"'Zoë ÿ Ñ €'"}},
      {"VARCHAR(20) CHARACTER SET ucs2", Read::kText, {"'Zoë € ✓'"}},
      {"VARCHAR(20) CHARACTER SET utf16", Read::kText, {"'😀 Zoë'"}},
      {"VARCHAR(20) CHARACTER SET binary", Read::kHex, {"x'00FF'"}},
      {"TEXT CHARACTER SET ascii", Read::kText, {"'plain'"}},
      {"VARCHAR(10) CHARACTER SET cp1251", Read::kText, {"'Привет'", "'№ё'"}},
      {"VARCHAR(10) CHARACTER SET sjis", Read::kText, {"'日本語'", "'ｱｲ'"}},
      {"TEXT CHARACTER SET utf32", Read::kText, {"'😀𝄞 Zoë'"}},
      {"CHAR(3) CHARACTER SET ucs2", Read::kText, {"'é€'"}},
      {"ENUM('é','ü') CHARACTER SET latin1", Read::kText, {"'ü'"}},
      {"SET('€','😀')", Read::kText, {"'€,😀'"}},
      {"VARCHAR(10) CHARACTER SET big5", Read::kText, {"'中文'"}},
      {"VARCHAR(10)", Read::kText, {"'a  '", "' b'"}},
      {"VARCHAR(20) CHARACTER SET latin1", Read::kText, {"'Zoë ÿ Ñ'", "'¤¦¨'"}},
      {"TEXT CHARACTER SET latin1", Read::kText, {"'Zoë ÿ Ñ'"}},
      {"ENUM('a','b c','é')", Read::kText, {"'b c'", "'é'"}},
      {"ENUM('it''s','a,b','','\\\\')", Read::kText, {"'it''s'", "'a,b'", "'\\\\'"}},
      {"SET('a b','ü','-')", Read::kText, {"'a b,ü'", "'-'"}},
      {"SET('x','y','z')", Read::kText, {"'x,z'", "''", "'x,y,z'"}},
      {"JSON", Read::kText, {"'{\"a\": [1, 2], \"b\": \"Zoë 😀\"}'"}},
      // dates and times
      {"DATE", Read::kExact, {"'1000-01-01'", "'9999-12-31'", "'0001-01-01'"}},
      {"DATETIME(6)", Read::kDateTime, {"'1000-01-01 00:00:00'", "'9999-12-31 23:59:59.999999'"}},
      {"DATETIME", Read::kDateTime, {"'2004-12-31 23:59:59'", "'0001-01-01 00:00:00'"}},
      {"DATETIME(3)", Read::kDateTime, {"'2004-12-31 23:59:59.999'"}},
      {"DATETIME(2)", Read::kDateTime, {"'9999-12-31 23:59:59.99'"}},
      {"TIMESTAMP", Read::kDateTime, {"'2004-12-31 23:59:59'"}},
      {"TIME(3)", Read::kDuration, {"'-838:59:59.999'", "'24:00:00.001'"}},
      {"TIMESTAMP(6)", Read::kDateTime, {"'1970-01-01 00:00:01'", "'2038-01-19 03:14:07.999999'"}},
      {"TIME(6)", Read::kDuration,
       {"'-838:59:59.999999'", "'838:59:59'", "'100:00:00.123456'", "'-00:00:00.000001'", "'23:59:59.999999'"}},
      {"TIME", Read::kDuration, {"'-838:59:59'", "'00:00:00'", "'-00:00:01'"}},
      {"TIME(1)", Read::kDuration, {"'-00:00:00.1'", "'-1:00:00.5'", "'24:00:00'"}},
      {"DATETIME(6)", Read::kDateTime, {"'0000-00-00 00:00:00.000000'", "'2004-12-31 10:11:12.000001'"}, {},
       {"'0000-00-00 00:00:00.000000'"}},
      {"DATE", Read::kExact, {"'0000-00-00'", "'2004-12-31'", "'2004-00-15'", "'2004-02-00'"}, {},
       {"'0000-00-00'", "'2004-00-15'", "'2004-02-00'"}},
      {"DATETIME", Read::kDateTime,
       {"'0000-00-00 00:00:00'", "'2004-12-31 10:11:12'", "'2004-00-00 10:11:12'"}, {},
       {"'0000-00-00 00:00:00'", "'2004-00-00 10:11:12'"}},
      // booleans (and NULL in the last row)
      {"BOOLEAN", Read::kExact, {"TRUE", "FALSE"}},
  };
  return columns;
}

// The text of a column read the same way in either engine; PostgreSQL's
// money is read as the number it is, not in the locale's currency form.
std::string ReadExpression(Engine engine, const std::string& column, Read read, const std::string& type = {}) {
  const bool postgres = engine == Engine::Postgres;
  std::string name = postgres ? "\"" + column + "\"" : "`" + column + "`";
  if (postgres && (type == "money" || type == "dcash")) name += "::numeric";
  switch (read) {
    // bytea's text is "\\x" and its digits; an oid (a BLOB left out) has no bytes
    case Read::kHex:
    case Read::kBits: return postgres ? name + "::text" : "lower(hex(" + name + "))";
    case Read::kInstant:
      if (postgres && type == "timestamptz") return "(" + name + " AT TIME ZONE 'UTC')::text";
      return postgres ? name + "::text" : "CAST(" + name + " AS CHAR)";
    // the type's own output: inet's text cast would add a "/128"
    case Read::kText: return postgres ? "pg_catalog.format('%s', " + name + ")" : "CAST(" + name + " AS CHAR)";
    case Read::kGuid:
    case Read::kExact:
    case Read::kDecimal:
    case Read::kFloat:
    case Read::kSingle:
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
    // A negative zero is the zero it equals: neither MariaDB's double nor
    // PostgreSQL's decimal (the floats' type there) keeps its sign.
    case Read::kFloat: {
      char buffer[64];
      const double number = std::strtod(text.c_str(), nullptr);
      std::snprintf(buffer, sizeof buffer, "%.17g", number == 0 ? 0.0 : number);
      return buffer;
    }
    case Read::kSingle: {
      char buffer[64];
      const float number = std::strtof(text.c_str(), nullptr);
      std::snprintf(buffer, sizeof buffer, "%.9g", number == 0 ? 0.0 : static_cast<double>(number));
      return buffer;
    }
    case Read::kDuration: return CanonicalDuration(text);
    case Read::kDateTime:
    case Read::kInstant:
      if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
      }
      return text;
    case Read::kHex: {
      if (text.rfind("\\x", 0) == 0) text.erase(0, 2);
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return text;
    }
    case Read::kGuid: {  // character(255) pads with blanks
      std::string digits;
      for (const char c : text) {
        if (c != '{' && c != '}' && c != ' ') digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
      return digits;
    }
    case Read::kBits: {
      // bytea's "\\x00ff", a boolean's "true" and BIT's "ff" alike
      if (text == "t" || text == "true") return "1";
      if (text == "f" || text == "false") return "0";
      if (text.rfind("\\x", 0) == 0) text.erase(0, 2);
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      const size_t first = text.find_first_not_of('0');
      return first == std::string::npos ? "0" : text.substr(first);
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
  DsnOptions booleans_as_bits;
  booleans_as_bits.bools_as_char = false;
  TestDatabase source =
      c.source == Engine::Postgres ? TestDatabase::Postgres(booleans_as_bits) : TestDatabase::MariaDb();
  if (c.source == Engine::Postgres) {
    source.Execute("CREATE TYPE mood AS ENUM ('happy', 'très content')");
    source.Execute("CREATE DOMAIN positive AS numeric(7,2) CHECK (VALUE > 0)");
    source.Execute("CREATE DOMAIN address AS varchar(30)");
    source.Execute("CREATE TYPE pair AS (n integer, t text)");
    source.Execute("CREATE DOMAIN tags AS text[]");
    source.Execute("CREATE DOMAIN dreal AS real");
    source.Execute("CREATE DOMAIN dint AS integer");
    source.Execute("CREATE DOMAIN dbits AS bit(8)");
    source.Execute("CREATE DOMAIN dtime AS time(0)");
    source.Execute("CREATE DOMAIN dcash AS money");
    source.Execute("CREATE DOMAIN dnum AS numeric");
    source.Execute("CREATE DOMAIN dpositive AS positive");
    source.Execute("CREATE DOMAIN dbool AS boolean");
    source.Execute("CREATE DOMAIN dstamp AS timestamp(3)");
    source.Execute("CREATE TYPE odd AS ENUM ('it''s', 'a,b', '')");
    source.Execute("CREATE EXTENSION hstore");
    source.Execute("CREATE EXTENSION citext");
    source.Execute("CREATE EXTENSION ltree");
    // Sessions in a zone of their own, a quarter hour off UTC: a time
    // with a time zone must arrive as the same instant.
    source.Execute("ALTER DATABASE " + source.Quote(source.DatabaseName()) + " SET TimeZone TO 'Asia/Kathmandu'");
  }
  source.CreateTable(table);
  // Serial columns are NOT NULL of themselves; the last row holds NULLs.
  for (size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].type.find("serial") != std::string::npos) {
      source.Execute("ALTER TABLE matrix ALTER COLUMN " + ColumnName(i) + " DROP NOT NULL");
    }
  }
  for (size_t r = 0; r <= rows; ++r) {
    std::string row = "INSERT INTO matrix VALUES (" + std::to_string(r + 1);
    for (const MatrixColumn& column : columns) row += ", " + (r < column.values.size() ? column.values[r] : "NULL");
    source.Execute(row + ")");
  }

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

// The table `listed` of `source` scripted as PostgreSQL and as MySql and
// loaded: each engine's `select` of it gives `expected`. Returns each run's log.
std::vector<std::vector<std::string>> ExpectLoadedAlike(TestDatabase& source, const std::string& listed,
                                                        const std::string& postgres_select,
                                                        const std::string& mysql_select,
                                                        const std::vector<QueryRow>& expected) {
  std::vector<std::vector<std::string>> logs;
  for (const TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
    const bool to_postgres = dialect == TargetDialect::PostgreSql;
    SCOPED_TRACE(to_postgres ? "PostgreSQL" : "MySql");
    GeneratorHarness harness;
    harness.settings.format = dialect;
    harness.generator.GenerateScript(source.Dsn(), listed);
    logs.push_back(harness.ui.LogTexts());
    EXPECT_EQ(harness.ui.tabs().size(), 1u);
    if (harness.ui.tabs().size() != 1u) continue;
    const std::string script = harness.ScriptText();
    TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
    EXPECT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script.substr(0, 3000);
    if (load.succeeded) {
      EXPECT_EQ(target.Query(to_postgres ? postgres_select : mysql_select), expected);
    }
  }
  return logs;
}

size_t LinesNaming(const std::vector<std::string>& log, const std::string& column) {
  return static_cast<size_t>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
    return line.find(" : column " + column + " : ") != std::string::npos;
  }));
}

// A bytea column of the primary key holds keys, not documents: it is no
// BLOB left out, its values arrive byte for byte in a type a key holds.
TEST(TypeMatrixKeys, PostgresByteaKeysArriveWhole) {
  TestDatabase source = TestDatabase::Postgres();
  source.CreateTable({"bk",
                      {{"k", "bytea"}, {"n", "integer"}, {"doc", "bytea"}},
                      {"k", "n"},
                      {{"'\\x00ff275c0d0a'::bytea", "1", "'\\x00'::bytea"}, {"''::bytea", "2", "NULL"},
                       {"'\\x27'::bytea", "3", "NULL"}}});
  const std::string select = "SELECT encode(k,'hex'), n::text FROM bk ORDER BY 1, 2";
  for (const std::vector<std::string>& log :
       ExpectLoadedAlike(source, "public.bk", select, "SELECT lower(hex(k)), CAST(n AS CHAR) FROM bk ORDER BY 1, 2",
                         source.Query(select))) {
    // The document column is a BLOB: left out, and said; the key is not.
    EXPECT_EQ(LinesNaming(log, "doc"), 1u);
    EXPECT_EQ(LinesNaming(log, "k"), 0u);
  }
}

// The same for a MariaDB BLOB column of the key (indexed by its first bytes).
TEST(TypeMatrixKeys, MariaDbBlobKeysArriveWhole) {
  TestDatabase source = TestDatabase::MariaDb();
  source.Execute("CREATE TABLE bk (k BLOB NOT NULL, n INT NOT NULL, doc LONGBLOB, PRIMARY KEY (k(16), n))");
  source.Execute("INSERT INTO bk VALUES (x'00FF275C0D0A', 1, x'00'), (x'', 2, NULL), (x'27', 3, NULL)");
  const std::string select = "SELECT lower(hex(k)), CAST(n AS CHAR) FROM bk ORDER BY 1, 2";
  for (const std::vector<std::string>& log :
       ExpectLoadedAlike(source, "bk", "SELECT encode(k,'hex'), n::text FROM bk ORDER BY 1, 2", select,
                         source.Query(select))) {
    EXPECT_EQ(LinesNaming(log, "doc"), 1u);
    EXPECT_EQ(LinesNaming(log, "k"), 0u);
  }
}

// Columns the source computes (generated, virtual or stored) arrive as the
// values they hold, in plain columns of their type.
TEST(TypeMatrixKeys, GeneratedColumnsArriveAsTheirValues) {
  const std::vector<QueryRow> expected = {{"1", "2", "a!"}, {"2", "4", "b!"}};
  {
    TestDatabase source = TestDatabase::MariaDb();
    source.Execute("CREATE TABLE made (n INT PRIMARY KEY, t VARCHAR(5), twice INT AS (n * 2) VIRTUAL, "
                   "shout VARCHAR(6) AS (CONCAT(t, '!')) PERSISTENT)");
    source.Execute("INSERT INTO made (n, t) VALUES (1, 'a'), (2, 'b')");
    ExpectLoadedAlike(source, "made", "SELECT n::text, twice::text, trim(shout) FROM made ORDER BY n",
                      "SELECT CAST(n AS CHAR), CAST(twice AS CHAR), shout FROM made ORDER BY n", expected);
  }
  {
    TestDatabase source = TestDatabase::Postgres();
    source.Execute("CREATE TABLE made (n integer PRIMARY KEY, t varchar(5), "
                   "twice integer GENERATED ALWAYS AS (n * 2) STORED, "
                   "shout text GENERATED ALWAYS AS (t || '!') STORED, id integer GENERATED ALWAYS AS IDENTITY)");
    source.Execute("INSERT INTO made (n, t) VALUES (1, 'a'), (2, 'b')");
    ExpectLoadedAlike(source, "public.made", "SELECT n::text, twice::text, trim(shout) FROM made ORDER BY n",
                      "SELECT CAST(n AS CHAR), CAST(twice AS CHAR), shout FROM made ORDER BY n", expected);
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


// A key column of each type arrives in both dialects, every row of it: MySql
// gives a long text or binary key a length its index holds. A key value the
// dialect cannot hold would be NULL, which no key takes: its row is left out
// with a red line, and the other rows arrive. (The values themselves are
// compared in the matrix above.)
TEST(TypeMatrixKeys, KeysOfEveryTypeArriveOrTheirRowsAreSaid) {
  const struct KeyCase {
    Engine source;
    std::string type;
    std::vector<std::string> values;
    std::vector<std::string> lost_in_mysql = {};  // rows left out of the MySql script
    std::vector<std::string> lost_anywhere = {};  // rows left out of every script
  } cases[] = {
      {Engine::Postgres, "uuid", {"'6f9619ff-8b86-d011-b42d-00c04fc964ff'", "'00000000-0000-0000-0000-000000000000'"}},
      {Engine::Postgres, "interval", {"'1 year 2 mons -3 days 04:05:06.789'", "'-00:00:00.000001'"}},
      {Engine::Postgres, "numeric", {"123456789012345678901234567890", "-0.000001"}},
      {Engine::Postgres, "numeric", {"1e100", "1", "'NaN'"}, {"1e100", "'NaN'"}},
      {Engine::Postgres, "numeric(40,20)", {"12345678901234567890.12345678901234567890", "0"}},
      {Engine::Postgres, "float8", {"'NaN'", "'-Infinity'", "0.1"}, {"'NaN'", "'-Infinity'"}},
      {Engine::Postgres, "timestamp", {"'infinity'", "'0044-03-15 12:00:00 BC'", "'2004-12-31 23:59:59.999999'"},
       {"'infinity'", "'0044-03-15 12:00:00 BC'"}},
      {Engine::Postgres, "date", {"'-infinity'", "'0001-01-01'"}, {"'-infinity'"}},
      {Engine::Postgres, "text", {"'" + std::string(700, 'k') + "'", "'é 😀'"}},
      {Engine::Postgres, "bit(8)", {"B'00000000'", "B'10101010'"}},
      {Engine::Postgres, "bytea", {"decode('" + AllBytesHex() + "', 'hex')", "''::bytea"}},
      {Engine::Postgres, "timetz", {"'12:34:56+05:30'", "'23:59:59.999999-12'"}},
      {Engine::Postgres, "inet", {"'10.1.2.3/8'", "'::1'"}},
      {Engine::Postgres, "time", {"'24:00:00'", "'00:00:00.000001'"}},
      {Engine::Postgres, "timestamp", {"'0001-01-01 00:00:00'", "'2004-12-31 23:59:59.999999'"}},
      {Engine::Postgres, "real", {"0.4", "-3.4028235e38"}},
      {Engine::Postgres, "money", {"'-92233720368547758.08'", "0"}},
      {Engine::MariaDb, "TIME(6)", {"'-838:59:59.999999'", "'100:00:00.123456'"}},
      {Engine::MariaDb, "DECIMAL(65,30)", {"99999999999999999999999999999999999.999999999999999999999999999999", "0"}},
      {Engine::MariaDb, "BIT(64)", {"~0", "b'0'"}},
      {Engine::MariaDb, "ENUM('it''s','a,b')", {"'it''s'", "'a,b'"}},
      {Engine::MariaDb, "YEAR", {"1901", "2155"}},
      {Engine::MariaDb, "UUID", {"'6f9619ff-8b86-d011-b42d-00c04fc964ff'", "'00000000-0000-0000-0000-000000000000'"}},
      {Engine::MariaDb, "VARCHAR(700)", {"REPEAT('ß', 700)", "''"}},
      {Engine::MariaDb, "DATETIME(6)", {"'1000-01-01 00:00:00'", "'9999-12-31 23:59:59.999999'"}},
      {Engine::MariaDb, "TIMESTAMP(6)", {"'1970-01-01 00:00:01'", "'2038-01-19 03:14:07.999999'"}},
      {Engine::MariaDb, "BINARY(4)", {"x'01'", "x'0001'", "x'FFFFFFFF'"}},
      {Engine::MariaDb, "DATE", {"'0000-00-00'", "'2004-12-31'", "'2004-02-00'"}, {}, {"'0000-00-00'", "'2004-02-00'"}},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE("key type " + c.type);
    const bool postgres = c.source == Engine::Postgres;
    TestDatabase source = postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < c.values.size(); ++i) rows.push_back({c.values[i], std::to_string(i + 1)});
    source.CreateTable({"keyed", {{"k", c.type}, {"n", postgres ? "integer" : "INT"}}, {"k"}, rows});
    for (const TargetDialect dialect : {TargetDialect::PostgreSql, TargetDialect::MySql}) {
      const bool to_postgres = dialect == TargetDialect::PostgreSql;
      SCOPED_TRACE(to_postgres ? "PostgreSQL" : "MySql");
      std::vector<QueryRow> expected;
      for (size_t i = 0; i < c.values.size(); ++i) {
        const bool lost =
            Contains(c.lost_anywhere, c.values[i]) || (!to_postgres && Contains(c.lost_in_mysql, c.values[i]));
        if (!lost) expected.push_back({std::to_string(i + 1)});
      }
      GeneratorHarness harness;
      harness.settings.format = dialect;
      harness.generator.GenerateScript(source.Dsn(), postgres ? "public.keyed" : "keyed");
      ASSERT_EQ(harness.ui.tabs().size(), 1u);
      const std::string script = harness.ScriptText();
      TestDatabase target = to_postgres ? TestDatabase::Postgres() : TestDatabase::MariaDb();
      const ScriptRun load = to_postgres ? RunPsqlScript(target, script) : RunMariaDbScript(target, script);
      ASSERT_TRUE(load.succeeded) << load.output << "\n--- script ---\n" << script.substr(0, 3000);
      EXPECT_EQ(target.Query(to_postgres ? "SELECT n::text FROM keyed ORDER BY n"
                                         : "SELECT CAST(n AS CHAR) FROM keyed ORDER BY n"),
                expected);
      // Each reason of the left-out rows is a line of its own; their counts
      // add up to the rows left out.
      size_t said = 0;
      for (const std::string& line : harness.ui.LogTexts()) {
        const size_t at = line.find(" : column k : ");
        if (at == std::string::npos) continue;
        EXPECT_NE(line.find("in the key, so their rows are left out."), std::string::npos) << line;
        said += std::stoul(line.substr(at + 14));
      }
      EXPECT_EQ(said, c.values.size() - expected.size());
    }
  }
}

}  // namespace
}  // namespace quill::testing
