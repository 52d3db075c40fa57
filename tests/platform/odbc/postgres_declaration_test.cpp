// What the PostgreSQL catalog's declaration of a column makes of psqlodbc's
// description of it.
#include "platform/odbc/postgres_declared_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

OdbcColumnDescription Described(SQLLEN concise_type, SQLLEN length, SQLLEN precision = 0, SQLLEN scale = 0) {
  OdbcColumnDescription column;
  column.name = "c";
  column.concise_type = concise_type;
  column.length = length;
  column.precision = precision;
  column.scale = scale;
  return column;
}

// numeric(p,s)'s modifier: ((p << 16) | (s & 0x7FF)) + 4.
int NumericModifier(int precision, int scale) { return ((precision << 16) | (scale & 0x7FF)) + 4; }

TEST(PostgresDeclaration, CorrectsWhatTheDriverMisreports) {
  struct Case {
    std::string what;
    PostgresCatalogColumn catalog;
    OdbcColumnDescription driver;
    std::string class_name;
    int size;
    int scale;  // decimals only
  };
  const std::vector<Case> cases = {
      {"bit(8) given 4", {"c", "bit", 'b', 8}, Described(SQL_VARCHAR, 4), "TWideStringField", 8, 0},
      {"varbit(5) given 1", {"c", "varbit", 'b', 5}, Described(SQL_WVARCHAR, 1), "TWideStringField", 5, 0},
      {"varbit", {"c", "varbit", 'b', -1}, Described(SQL_VARCHAR, 255), "TMemoField", 0, 0},
      {"varchar", {"c", "varchar", 'b', -1}, Described(SQL_WVARCHAR, 255), "TMemoField", 0, 0},
      {"varchar(300) beyond MaxVarcharSize", {"c", "varchar", 'b', 304}, Described(SQL_WLONGVARCHAR, 300),
       "TWideStringField", 300, 0},
      {"char(3)", {"c", "bpchar", 'b', 7}, Described(SQL_WCHAR, 3), "TWideStringField", 3, 0},
      {"text as VARCHAR(100)", {"c", "text", 'b', -1}, Described(SQL_WVARCHAR, 100), "TMemoField", 0, 0},
      {"interval", {"c", "interval", 'b', -1}, Described(SQL_VARCHAR, 32), "TMemoField", 0, 0},
      {"interval as an SQL interval", {"c", "interval", 'b', -1}, Described(SQL_INTERVAL_DAY_TO_SECOND, 24),
       "TMemoField", 0, 0},
      {"jsonb", {"c", "jsonb", 'b', -1}, Described(SQL_VARCHAR, 255), "TMemoField", 0, 0},
      {"an array", {"c", "_int4", 'b', -1}, Described(SQL_VARCHAR, 255), "TMemoField", 0, 0},
      {"a type of an extension", {"c", "", 'b', -1}, Described(SQL_VARCHAR, 255), "TMemoField", 0, 0},
      {"an enum", {"c", "", 'e', -1, 9}, Described(SQL_VARCHAR, 255), "TWideStringField", 9, 0},
      {"inet keeps its width", {"c", "inet", 'b', -1}, Described(SQL_WVARCHAR, 50), "TWideStringField", 50, 0},
      {"bytea as VARBINARY", {"c", "bytea", 'b', -1}, Described(SQL_VARBINARY, 8190), "TBlobField", 0, 0},
      {"numeric", {"c", "numeric", 'b', -1}, Described(SQL_NUMERIC, 28, 28, 3), "TBCDField", 0, -1},
      {"numeric(5,-2)", {"c", "numeric", 'b', NumericModifier(5, -2)}, Described(SQL_NUMERIC, 5, 5, 2046),
       "TBCDField", 7, 0},
      {"numeric(3,5)", {"c", "numeric", 'b', NumericModifier(3, 5)}, Described(SQL_NUMERIC, 3, 3, 5), "TBCDField", 5,
       5},
      {"money", {"c", "money", 'b', -1, 0, 2}, Described(SQL_NUMERIC, 28, 28, 2), "TBCDField", 19, 2},
      // A declaration of text never changes a column of another class.
      {"an integer", {"c", "int4", 'b', -1}, Described(SQL_INTEGER, 10), "TIntegerField", 0, 0},
  };
  for (const Case& c : cases) {
    const std::optional<DeclaredColumn> declared = PostgresDeclaration(c.catalog);
    const OdbcColumnDescription corrected = declared ? WithDeclaration(c.driver, *declared) : c.driver;
    const OdbcFieldType type = MapColumnType(corrected);
    EXPECT_EQ(type.class_name, c.class_name) << c.what;
    EXPECT_EQ(type.size, c.size) << c.what;
    if (type.class_name == "TBCDField") {
      EXPECT_EQ(corrected.scale, c.scale) << c.what;
    }
  }
}

}  // namespace
}  // namespace quill
