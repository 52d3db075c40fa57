#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

#include "platform/dataset/field.h"

namespace quill {

// One result column as the driver describes it (SQLColAttribute).
struct OdbcColumnDescription {
  std::string name;
  SQLLEN concise_type = SQL_UNKNOWN_TYPE;
  bool is_unsigned = false;
  bool auto_increment = false;
  std::string type_name;
  SQLLEN length = 0;  // characters for text, bytes for binary
  SQLLEN precision = 0;
  SQLLEN scale = 0;
  bool holds_infinities = false;  // a decimal column with infinite values (from the catalog)
};

// How the values of a column travel from the driver into its field. `Time`
// values come as their text, so that fractions of a second, a sign and hours
// beyond 23 survive (SQL_TIME_STRUCT holds none of them). `DateText` values
// (dates and date-times) come as their text too, so that a zero date
// ('0000-00-00', '2020-00-15'), which the driver gives as NULL or as a date
// of month 0, is told apart from both.
enum class ValueForm { Integer, UnsignedInteger, Float, Boolean, DateTime, Time, DateText, Decimal, Text, Bytes, Guid };

// What the dataset makes of a column: the field's description and the form
// its values are read in. `long_data` columns are read with SQLGetData in
// chunks; the others are bound to row arrays of `bound_bytes` per value.
struct OdbcFieldType {
  std::string class_name;
  FieldKind kind = FieldKind::ftUnknown;
  int size = 0;
  int data_size = 0;
  ValueForm form = ValueForm::Text;
  bool long_data = false;
  SQLLEN bound_bytes = 0;
};

// The SQLite driver reports the declared type name better than its codes and
// sizes (TEXT as a 65536 VARCHAR, BLOB as a 255 BINARY, DECIMAL as VARCHAR
// with size and scale swapped): takes the type code from the declared name.
OdbcColumnDescription CorrectSqliteColumn(const OdbcColumnDescription& column);

OdbcFieldType MapColumnType(const OdbcColumnDescription& column);

}  // namespace quill
